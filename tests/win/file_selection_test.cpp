// Names from the command line and from files dropped on the real main window:
// which field they reach, when the open dialog is shown instead, and what a
// start-up comparison leaves on the panel.
#include <gtest/gtest.h>

#include <cstring>

#include "compare/compare.h"
#include "harness.h"
#include "settings/settings.h"

namespace {

const char REST_FACE[] = "(-_-)";

void DropFiles(HWND mainWindow, const std::vector<std::string> &names, bool wide = false)
{
    SendMessageA(mainWindow, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(names, wide)), 0);
    PumpMessages();
}

std::string WithoutTrailingBackslash(std::string path)
{
    while (!path.empty() && path.back() == '\\')
        path.pop_back();
    return path;
}

struct FileSelectionTest : ::testing::Test {
    HWND mainWindow = NULL;
    std::string fileA, fileB, fileC;

    void SetUp() override
    {
        RemoveTarnlightRegistry();
        g_settings = DefaultSettings();
        ExpectDialogs({});
        fileA = MakeTempFile("a.bin", "alpha");
        fileB = MakeTempFile("b.bin", "bravo");
        fileC = MakeTempFile("c.bin", "charlie");
    }
    void TearDown() override
    {
        CloseMainWindow(mainWindow);
        g_settings = DefaultSettings();
        RemoveTarnlightRegistry();
    }
    void Start(const std::vector<std::string> &args = {})
    {
        mainWindow = StartMainWindow(args);
        ASSERT_NE(mainWindow, (HWND)NULL);
    }
    void SetFields(const std::string &file1, const std::string &file2)
    {
        SetDlgItemTextA(g_panel, IDC_FILE1, file1.c_str());
        SetDlgItemTextA(g_panel, IDC_FILE2, file2.c_str());
    }
    void ExpectFields(const std::string &file1, const std::string &file2)
    {
        EXPECT_EQ(ControlText(g_panel, IDC_FILE1), file1);
        EXPECT_EQ(ControlText(g_panel, IDC_FILE2), file2);
    }
};

typedef FileSelectionTest DropTest;

TEST_F(DropTest, OneFileFollowsTheFieldTableAndResetsTheResult)
{
    struct Case {
        const char *file1Before, *file2Before;
        const char *file1After, *file2After;   // "new" stands for the dropped name
    };
    const Case cases[] = {
        {"", "", "new", ""},
        {"", "kept2", "new", "kept2"},
        {"kept1", "", "kept1", "new"},
        {"old1", "old2", "new", ""},
    };
    Start();
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string("before: '") + c.file1Before + "' '" + c.file2Before + "'");
        SetFields(c.file1Before, c.file2Before);
        SetDlgItemTextA(g_panel, IDC_RESULT, "old report");
        SetDlgItemTextA(g_panel, IDC_MESSAGE, "old verdict");
        SetDlgItemTextA(g_panel, IDC_FACE, "(ToT)");
        DropFiles(mainWindow, {fileA});
        auto expected = [&](const char *after) { return std::strcmp(after, "new") == 0 ? fileA : after; };
        ExpectFields(expected(c.file1After), expected(c.file2After));
        EXPECT_EQ(ControlText(g_panel, IDC_RESULT), "");
        EXPECT_EQ(ControlText(g_panel, IDC_MESSAGE), "");
        EXPECT_EQ(ControlText(g_panel, IDC_FACE), REST_FACE);
    }
    EXPECT_TRUE(SeenDialogs().empty());
}

TEST_F(DropTest, TwoFilesGoToFile1AndFile2WhateverTheFieldsHeld)
{
    Start();
    SetFields("", "old2");
    DropFiles(mainWindow, {fileA, fileB});
    ExpectFields(fileA, fileB);
    SetFields("old1", "");
    DropFiles(mainWindow, {fileB, fileC});
    ExpectFields(fileB, fileC);
}

TEST_F(DropTest, ThirdFileIsNeverOpenedAndCaretEndsInFile2)
{
    std::string japaneseName = MakeTempFile("比較用ファイル２.txt", "delta");
    std::string locked = MakeTempFile("locked.bin", "echo");
    HANDLE holder = HoldWithoutSharing(locked);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    Start();
    ExpectDialogs({CancelDialog()});   // a browse of the locked third would show one

    DropFiles(mainWindow, {fileA, japaneseName, locked});
    CloseHandle(holder);

    EXPECT_TRUE(SeenDialogs().empty());
    ExpectFields(fileA, japaneseName);
    HWND file2 = GetDlgItem(g_panel, IDC_FILE2);
    EXPECT_EQ(GetFocus(), file2);
    DWORD start = 0, end = 0;
    SendMessageA(file2, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(static_cast<int>(start), CharacterCount(japaneseName));
    EXPECT_EQ(static_cast<int>(end), CharacterCount(japaneseName));
}

TEST_F(DropTest, NameThatNoLongerExistsIsPlacedUnchanged)
{
    std::string gone = MakeTempFile("gone.bin", "x");
    DeleteFileA(gone.c_str());
    Start();
    ExpectDialogs({CancelDialog()});
    DropFiles(mainWindow, {gone});
    EXPECT_TRUE(SeenDialogs().empty());
    ExpectFields(gone, "");
}

TEST_F(DropTest, FolderOpensTheDialogThereAndTakesTheChosenFile)
{
    std::string folder = MakeTempFolder("chosen-from");
    std::string inside = MakeTempFile("chosen-from\\inside.txt", "foxtrot");
    Start();
    ExpectDialogs({ChooseFile(inside)});
    DropFiles(mainWindow, {folder});
    ASSERT_EQ(SeenDialogs().size(), 1u);
    EXPECT_EQ(WithoutTrailingBackslash(SeenDialogs()[0].folder), folder);
    ExpectFields(inside, "");
    // The drop's own buffer is gone by now; the record must not point into it.
    ASSERT_NE(g_fileDialog.lpstrInitialDir, (LPCSTR)NULL);
    EXPECT_EQ(std::string(g_fileDialog.lpstrInitialDir), folder);
}

TEST_F(DropTest, CancelledFolderEmptiesBothFilledFields)
{
    std::string folder = MakeTempFolder("cancelled-in");
    Start();
    SetFields(fileA, fileB);
    ExpectDialogs({CancelDialog()});
    DropFiles(mainWindow, {folder});
    ASSERT_EQ(SeenDialogs().size(), 1u);
    EXPECT_EQ(WithoutTrailingBackslash(SeenDialogs()[0].folder), folder);
    ExpectFields("", "");
}

TEST_F(DropTest, FileHeldWithoutSharingIsBrowsedLikeAFolder)
{
    std::string locked = MakeTempFile("held.bin", "golf");
    HANDLE holder = HoldWithoutSharing(locked);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    Start();
    ExpectDialogs({ChooseFile(fileB)});
    DropFiles(mainWindow, {fileA, locked});
    CloseHandle(holder);
    EXPECT_EQ(SeenDialogs().size(), 1u);
    ExpectFields(fileA, fileB);
}

TEST_F(DropTest, TwoFoldersGiveTwoDialogsInTurn)
{
    std::string first = MakeTempFolder("first-folder");
    std::string second = MakeTempFolder("second-folder");
    Start();
    ExpectDialogs({ChooseFile(fileA), CancelDialog()});
    DropFiles(mainWindow, {first, second});
    ASSERT_EQ(SeenDialogs().size(), 2u);
    EXPECT_EQ(WithoutTrailingBackslash(SeenDialogs()[0].folder), first);
    // The second starts with the name the first one left; the folder of that
    // name then wins over the initial directory, as the platform rules.
    EXPECT_EQ(SeenDialogs()[1].text, "a.bin");
    ExpectFields(fileA, "");
}

typedef FileSelectionTest CommandLineTest;

TEST_F(CommandLineTest, UpToTwoNamesFillTheFieldsAndAThirdIsNeverOpened)
{
    std::string locked = MakeTempFile("locked-arg.bin", "hotel");
    HANDLE holder = HoldWithoutSharing(locked);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    // A browse of the locked third, or of an overlong name, would show a dialog.
    std::string longName = "C:\\no-such-folder\\" + std::string(300 - 18, 'n');
    const std::vector<std::string> cases[] = {{}, {fileA}, {fileA, fileB}, {fileA, fileB, locked}, {longName, fileB}};
    for (const std::vector<std::string> &args : cases) {
        SCOPED_TRACE(args.size());
        ExpectDialogs({CancelDialog()});
        Start(args);
        EXPECT_TRUE(SeenDialogs().empty());
        ExpectFields(args.size() > 0 ? args[0] : "", args.size() > 1 ? args[1] : "");
        CloseMainWindow(mainWindow);
    }
    CloseHandle(holder);
    mainWindow = NULL;
}

TEST_F(CommandLineTest, CancelledFolderLeavesBothFieldsEmpty)
{
    std::string folder = MakeTempFolder("start-folder");
    strcpy(g_dialogFileName, "left from before");
    ExpectDialogs({CancelDialog()});
    Start({folder});
    ASSERT_EQ(SeenDialogs().size(), 1u);
    EXPECT_EQ(WithoutTrailingBackslash(SeenDialogs()[0].folder), folder);
    EXPECT_EQ(SeenDialogs()[0].text, "");   // the first dialog of a run starts empty
    ExpectFields("", "");
}

TEST_F(CommandLineTest, ChosenFileReplacesTheFolderAndTheDialogKeepsTheFolder)
{
    std::string folder = MakeTempFolder("start-chosen");
    std::string inside = MakeTempFile("start-chosen\\picked.txt", "india");
    ExpectDialogs({ChooseFile(inside)});
    Start({folder, fileB});
    ASSERT_EQ(SeenDialogs().size(), 1u);
    ExpectFields(inside, fileB);
    // The argument's slot now holds the chosen name, not the folder.
    ASSERT_NE(g_fileDialog.lpstrInitialDir, (LPCSTR)NULL);
    EXPECT_EQ(std::string(g_fileDialog.lpstrInitialDir), folder);
}

struct AutoCompareTest : FileSelectionTest {
    void SetUp() override
    {
        FileSelectionTest::SetUp();
        StoreSetting("sudden", 1);
        g_settings.sudden = 1;
    }
};

TEST_F(AutoCompareTest, DroppedPairIsComparedAndFile1LosesItsSelection)
{
    std::string same = MakeTempFile("b-copy.bin", "bravo");
    Start();
    DropFiles(mainWindow, {fileB, same});
    EXPECT_EQ(ControlText(g_panel, IDC_MESSAGE), "同じ内容のファイルです。");
    EXPECT_EQ(ControlText(g_panel, IDC_FACE), "(^-^)");
    DWORD start = 1, end = 0;
    SendDlgItemMessageA(g_panel, IDC_FILE1, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                        reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, end);
}

// A name that does not fit the 255-byte buffers reaches its field whole and
// is never browsed; the comparison then refuses it by name. The ones that
// fit are compared as always: in the shell's UTF-16 list a Japanese name
// counts fewer characters than its Shift-JIS bytes, and still arrives whole.
// Both kinds of drop list are read.
TEST_F(AutoCompareTest, DroppedNamesUpToAndOverTheLimitReachTheFieldWhole)
{
    LimitNames names = MakeLimitNames("alpha");
    std::string folder = names.file255.substr(0, names.file255.find_last_not_of('f') + 1);
    std::string japanese255 = folder + ((255 - folder.size()) % 2 ? "f" : "");
    while (japanese255.size() < 255)
        japanese255 += "表";
    MakeTempFile(japanese255.substr(TempFolder().size()), "alpha");
    const struct {
        std::string name;
        bool refused;
    } cases[] = {{names.file255, false}, {names.folder256, true}, {names.name300, true},
                 {MakeTempFile("日本語の名前.bin", "alpha"), false}, {japanese255, false}};
    Start();
    for (bool wide : {false, true}) {
        for (const auto &c : cases) {
            SCOPED_TRACE(testing::Message() << c.name.size() << " bytes, wide " << wide);
            ExpectDialogs({PressButton(IDOK)});
            DropFiles(mainWindow, {c.name, fileA}, wide);
            ExpectFields(c.name, fileA);
            ASSERT_EQ(SeenDialogs().size(), c.refused ? 1u : 0u);
            if (c.refused) {
                EXPECT_EQ(SeenDialogs()[0].caption, "エラー");
                EXPECT_EQ(SeenDialogs()[0].text.find("1番目のファイル\r\n\""), 0u) << SeenDialogs()[0].text;
                EXPECT_NE(SeenDialogs()[0].text.find("は名前が長すぎます（255バイトまで）。"), std::string::npos);
            }
            EXPECT_EQ(ControlText(g_panel, IDC_MESSAGE), c.refused ? "" : "同じ内容のファイルです。");
        }
    }
}

} // namespace
