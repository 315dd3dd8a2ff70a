// Saving the result from the real main window, the save dialog answered from
// inside: the report file's bytes after each kind of run, the filters, and
// failures that must leave an existing file as it was and no stray file.
#include <gtest/gtest.h>

#include <cerrno>
#include <set>

#include "compare/compare.h"
#include "compare/report_file.h"
#include "harness.h"
#include "settings/settings.h"

namespace {

const char RULE[] = "\r\n----- 結果 -----\r\n\r\n";
const char EMPTY_RESULT[] = "   \r\n\r\n";
const char OLD_CONTENT[] = "the user's old file\r\n";

// The write of the report file that fails as on a full disk, after half of
// its bytes reached the file: 0 to 2, counted from the start of each save,
// or -1 for none. This test links its own write in place of the program's.
int g_failingWrite = -1;
int g_writesThisSave;

}  // namespace

bool WriteReportBytes(void *file, const char *bytes, int length)
{
    DWORD written = 0;
    if (g_writesThisSave++ == g_failingWrite) {
        WriteFile(static_cast<HANDLE>(file), bytes, static_cast<DWORD>(length / 2), &written, NULL);
        return false;
    }
    return WriteFile(static_cast<HANDLE>(file), bytes, static_cast<DWORD>(length), &written, NULL) &&
           written == static_cast<DWORD>(length);
}

namespace {

// The filter list up to and with the empty string that closes it.
std::string FilterBytes(const char *filter)
{
    const char *end = filter;
    while (end[0] != '\0' || end[1] != '\0')
        ++end;
    return std::string(filter, end + 2);
}

std::string NameLines(const std::string &first, const std::string &second)
{
    return "ファイル1　" + first + "\r\nファイル2　" + second + "\r\n";
}

std::string SaveErrorText(const std::string &path)
{
    return "ファイル\r\n\"" + path + "\"が保存できません。";
}

void SetField(int id, const std::string &text)
{
    SetDlgItemTextA(g_panel, id, text.c_str());
}

struct ExportTest : ::testing::Test {
    HWND mainWindow = NULL;
    std::string folder;

    void SetUp() override
    {
        // One process runs every test; each starts as a fresh program would,
        // with empty result buffers and an empty dialog file name.
        g_fileName1[0] = g_fileName2[0] = '\0';
        g_reportText[0] = g_verdictLine[0] = g_face[0] = '\0';
        g_dialogFileName[0] = '\0';
        g_failingWrite = -1;
        RemoveTarnlightRegistry();
        mainWindow = StartMainWindow();
        ASSERT_NE((HWND)NULL, mainWindow);
        folder = TempFolder() + ::testing::UnitTest::GetInstance()->current_test_info()->name() + "\\";
        CreateDirectoryA(folder.c_str(), NULL);
    }

    void TearDown() override
    {
        g_failingWrite = -1;
        CloseMainWindow(mainWindow);
        RemoveTarnlightRegistry();
        for (const std::string &name : NamesIn(folder)) {
            SetFileAttributesA((folder + name).c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA((folder + name).c_str());
        }
        RemoveDirectoryA(folder.c_str());
    }

    std::string MakeFile(const std::string &name, const std::string &bytes)
    {
        std::string path = folder + name;
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, NULL);
        CloseHandle(file);
        return path;
    }

    // Saves with the dialog answered by the handlers; every one must be
    // used. A spare handler closes one unexpected dialog, so that a fault
    // fails the test instead of hanging it.
    void Save(std::vector<DialogHandler> handlers)
    {
        size_t expected = handlers.size();
        handlers.push_back(CancelDialog());
        ExpectDialogs(handlers);
        g_writesThisSave = 0;
        SaveResult(g_panel);
        PumpMessages();
        EXPECT_EQ(1, UnansweredDialogs());
        EXPECT_EQ(expected, SeenDialogs().size());
    }

    // Two differing bytes listed up to one: the Report text ends with the
    // more line.
    void CompareWithMoreLine(std::string *first, std::string *second)
    {
        *first = MakeFile("one.bin", "abcd");
        *second = MakeFile("two.bin", "aBcDE");
        g_settings.maxdiffno = 1;
        g_settings.compcancel = STOP_AT_END;
        SetField(IDC_FILE1, *first);
        SetField(IDC_FILE2, *second);
        RunComparison(g_panel);
    }

    std::string MoreLineReport(const std::string &first, const std::string &second)
    {
        return NameLines(first, second) + RULE +
            "(ToT)   合計2箇所違います。\r\n\r\n"
            "　　　　　　　　　　<ファイル1>　　　　<ファイル2>\r\n\r\n"
            "　　　　　　　　        4 Bytes　　        5 Bytes\r\n\r\n"
            "         1 バイト目     98 (0x62) 　　　   66 (0x42)\r\n"
            "さらに違う箇所あり・・・\r\n";
    }

    // A save that must fail: box with the chosen path, the target as it
    // was, and nothing else left in the folder.
    void ExpectRefusedSave(const std::string &target, const std::vector<DialogHandler> &handlers)
    {
        std::set<std::string> before = NamesIn(folder);
        Save(handlers);
        ASSERT_EQ(handlers.size(), SeenDialogs().size());
        SeenDialog box = SeenDialogs().back();
        EXPECT_EQ("エラー", box.caption);
        EXPECT_EQ(SaveErrorText(target), box.text) << HexBytes(box.text);
        EXPECT_EQ(before, NamesIn(folder));
        EXPECT_EQ(FilterBytes("全てのファイル(*.*)\0*.*\0"), FilterBytes(g_fileDialog.lpstrFilter));
    }
};

TEST_F(ExportTest, BeforeAnyComparisonLabelsRuleAndEmptyResultUnderSaveFilter)
{
    EXPECT_EQ(FilterBytes("全てのファイル (*.*)\0*.*\0"), FilterBytes(g_fileDialog.lpstrFilter));
    std::string target = folder + "report.txt";
    Save({ChooseFile(target)});
    EXPECT_EQ("テキストファイル(*.txt)", SeenDialogs()[0].filterLabel);
    EXPECT_EQ(NameLines("", "") + RULE + EMPTY_RESULT, FileBytes(target));
    EXPECT_EQ(FilterBytes("全てのファイル(*.*)\0*.*\0"), FilterBytes(g_fileDialog.lpstrFilter));
}

TEST_F(ExportTest, FullRunWithMoreLineSavedByteForByteEvenAfterTheControlsAreCleared)
{
    std::string first, second;
    CompareWithMoreLine(&first, &second);
    std::string target = folder + "report.txt";
    Save({ChooseFile(target)});
    std::string saved = FileBytes(target);
    EXPECT_EQ(MoreLineReport(first, second), saved);
    std::string shown = ControlText(g_panel, IDC_RESULT);
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown, saved.substr(saved.size() - shown.size())) << "the result field as shown ends the file";

    for (int id : {IDC_FILE1, IDC_FILE2, IDC_MESSAGE, IDC_RESULT})
        SetField(id, "");
    SetField(IDC_FACE, "(-_-)");
    target = folder + "after clearing.txt";
    Save({ChooseFile(target)});
    EXPECT_EQ(MoreLineReport(first, second), FileBytes(target));
}

TEST_F(ExportTest, EarlyStopsSaveTheNamesAsTypedAndNoResult)
{
    std::string first, second;
    CompareWithMoreLine(&first, &second);

    SetField(IDC_FILE1, first);
    SetField(IDC_FILE2, "");
    RunComparison(g_panel);
    std::string target = folder + "empty field.txt";
    Save({ChooseFile(target)});
    EXPECT_EQ(NameLines(first, "") + RULE + EMPTY_RESULT, FileBytes(target));

    std::string missing = folder + "missing.bin";
    SetField(IDC_FILE1, first);
    SetField(IDC_FILE2, missing);
    ExpectDialogs({PressButton(IDOK)});
    RunComparison(g_panel);
    PumpMessages();
    ASSERT_EQ(1u, SeenDialogs().size());
    EXPECT_EQ("2番目のファイル\r\n\"" + missing + "\"が開けません。", SeenDialogs()[0].text);
    target = folder + "missing file.txt";
    Save({ChooseFile(target)});
    EXPECT_EQ(NameLines(first, missing) + RULE + EMPTY_RESULT, FileBytes(target));
}

// "表" ends in the byte 0x5C, which a byte search for the folder's
// backslash would take for one. The old file's backup is gone afterwards.
TEST_F(ExportTest, ReplacesAnExistingFileAfterTheOverwritePromptKeepingItsAttributes)
{
    std::string first, second;
    CompareWithMoreLine(&first, &second);
    std::string target = MakeFile("結果表.txt", OLD_CONTENT);
    ASSERT_EQ('\x5c', target[target.size() - 5]);
    // What the user set on the old file stays on the new one.
    const DWORD userSet = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    ASSERT_TRUE(SetFileAttributesA(target.c_str(), userSet));
    Save({ChooseFile(target), PressButton(IDYES)});
    EXPECT_EQ(MoreLineReport(first, second), FileBytes(target));
    EXPECT_EQ(userSet, GetFileAttributesA(target.c_str()) & userSet);
    std::set<std::string> expected = {"one.bin", "two.bin", "結果表.txt"};
    EXPECT_EQ(expected, NamesIn(folder));
}

TEST_F(ExportTest, CancelWritesNothingShowsNothingAndStillSwitchesTheFilter)
{
    Save({CancelDialog()});
    EXPECT_TRUE(NamesIn(folder).empty());
    EXPECT_EQ(FilterBytes("全てのファイル(*.*)\0*.*\0"), FilterBytes(g_fileDialog.lpstrFilter));
}

TEST_F(ExportTest, SecondSaveProposesTheFirstPathAndTheDialogAddsTxt)
{
    std::string typed = folder + "no extension";
    Save({ChooseFile(typed)});
    std::string saved = typed + ".txt";
    EXPECT_EQ(NameLines("", "") + RULE + EMPTY_RESULT, FileBytes(saved));

    Save({CancelDialog()});
    // The dialog shows the proposed path as its folder and the name in it.
    EXPECT_EQ(SeenDialogs()[0].folder + "\\" + SeenDialogs()[0].text, saved);
    EXPECT_EQ("テキストファイル(*.txt)", SeenDialogs()[0].filterLabel);
}

// Held by a reader that shares nothing, that lets others rename the file but
// not write it (the save may not write it either), or the reverse.
TEST_F(ExportTest, LockedOrReadOnlyTargetIsLeftAsItWas)
{
    std::string readOnly = MakeFile("read only.txt", OLD_CONTENT);
    ASSERT_TRUE(SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
    std::vector<std::string> targets = {readOnly};
    std::vector<HANDLE> holds;
    const DWORD sharings[] = {0, FILE_SHARE_READ | FILE_SHARE_DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE};
    for (DWORD sharing : sharings) {
        targets.push_back(MakeFile("held" + std::to_string(sharing) + ".txt", OLD_CONTENT));
        holds.push_back(CreateFileA(targets.back().c_str(), GENERIC_READ, sharing, NULL, OPEN_EXISTING, 0, NULL));
        ASSERT_NE(INVALID_HANDLE_VALUE, holds.back());
    }
    for (const std::string &target : targets) {
        SCOPED_TRACE(target);
        ExpectRefusedSave(target, {ChooseFile(target), PressButton(IDYES), PressButton(IDOK)});
    }
    for (HANDLE hold : holds)
        CloseHandle(hold);
    for (const std::string &target : targets)
        EXPECT_EQ(OLD_CONTENT, FileBytes(target));
    EXPECT_NE(0u, GetFileAttributesA(readOnly.c_str()) & FILE_ATTRIBUTE_READONLY);
}

TEST_F(ExportTest, WriteFailingPartWayLeavesTheOldFileAndNoStrayFile)
{
    std::string first, second;
    CompareWithMoreLine(&first, &second);
    std::string target = MakeFile("old.txt", OLD_CONTENT);
    for (int failing = 0; failing < REPORT_FILE_PARTS; ++failing) {
        SCOPED_TRACE(failing);
        g_failingWrite = failing;
        ExpectRefusedSave(target, {ChooseFile(target), PressButton(IDYES), PressButton(IDOK)});
        EXPECT_EQ(OLD_CONTENT, FileBytes(target));
    }
    g_failingWrite = -1;
    Save({ChooseFile(target), PressButton(IDYES)});
    EXPECT_EQ(MoreLineReport(first, second), FileBytes(target)) << "the seam is off again";
}

// The dialog takes names of up to 255 bytes; the new file written beside
// the target must fit there too, and must not outlive the save.
TEST_F(ExportTest, LongestNameIntoADeepFolderIsSavedAndLeavesNothingElse)
{
    std::string first, second;
    CompareWithMoreLine(&first, &second);
    const size_t deepFolderLength = 250;
    ASSERT_LT(folder.size() + 2, deepFolderLength);
    std::string deep = folder + std::string(deepFolderLength - folder.size() - 1, 'd') + "\\";
    std::string target = deep + "r.txt";
    // Wine reuses process ids, and with them a test folder of an earlier run.
    DeleteFileA(target.c_str());
    RemoveDirectoryA(deep.c_str());
    ASSERT_TRUE(CreateDirectoryA(deep.c_str(), NULL)) << "error " << GetLastError();
    ASSERT_EQ(255u, target.size());
    Save({ChooseFile(target)});
    EXPECT_EQ(MoreLineReport(first, second), FileBytes(target)) << "a new file";
    EXPECT_EQ(std::set<std::string>{"r.txt"}, NamesIn(deep));
    Save({ChooseFile(target), PressButton(IDYES)});
    EXPECT_EQ(MoreLineReport(first, second), FileBytes(target)) << "the same file replaced";
    EXPECT_EQ(std::set<std::string>{"r.txt"}, NamesIn(deep));
    DeleteFileA(target.c_str());
    RemoveDirectoryA(deep.c_str());
}

// Through a link the file it names is replaced, in its own folder and with
// its attributes, and the link stays. A folder, a link to one, a FIFO that
// Wine cannot tell has a reader and a link whose file is gone (which Wine
// does not show) are refused, errno saying why.
TEST_F(ExportTest, LinkedFileTakesTheReportAndFoldersAndFifosAreRefused)
{
    std::string first, second;
    CompareWithMoreLine(&first, &second);
    CreateDirectoryA((folder + "proj").c_str(), NULL);
    CreateDirectoryA((folder + "keep").c_str(), NULL);
    std::string notes = MakeFile("proj\\notes.txt", OLD_CONTENT);
    std::string inside = MakeFile("keep\\inside.txt", OLD_CONTENT);
    ASSERT_TRUE(SetFileAttributesA(notes.c_str(), FILE_ATTRIBUTE_HIDDEN));
    std::string link = folder + "link.txt";
    ASSERT_TRUE(MakeSymbolicLink(link, "proj/notes.txt"));
    ASSERT_TRUE(MakeSymbolicLink(folder + "keeplink", "keep"));
    ASSERT_TRUE(MakeUnixFifo(folder + "fifo"));
    std::string gone = MakeFile("gone.txt", "");
    ASSERT_TRUE(MakeSymbolicLink(folder + "dangling", "gone.txt"));
    ASSERT_TRUE(DeleteFileA(gone.c_str()));

    Save({ChooseFile(link), PressButton(IDYES)});
    EXPECT_EQ(MoreLineReport(first, second), FileBytes(notes));
    EXPECT_NE(0u, GetFileAttributesA(notes.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_TRUE(ReportWouldReplace(link.c_str(), notes.c_str())) << "the link stays";
    EXPECT_EQ(std::set<std::string>{"notes.txt"}, NamesIn(folder + "proj\\"));

    static ReportFileParts parts;
    FormatLastResult(&parts);
    std::set<std::string> before = NamesIn(folder);
    const struct { const char *name; int reason; } refused[] = {{"keep", EISDIR}, {"keeplink", EISDIR}, {"fifo", ENXIO},
                                                               {"dangling", EEXIST}};
    for (const auto &row : refused) {
        errno = 0;
        EXPECT_FALSE(WriteReportFile((folder + row.name).c_str(), parts)) << row.name;
        EXPECT_EQ(row.reason, errno) << row.name;
    }
    EXPECT_EQ(before, NamesIn(folder));
    EXPECT_EQ(OLD_CONTENT, FileBytes(inside));
    MakeFile("gone.txt", "");     // so that Wine sees the link, to delete it
    SetFileAttributesA(notes.c_str(), FILE_ATTRIBUTE_NORMAL);
    for (const std::string &path :
         {notes, inside, gone, folder + "keeplink", folder + "dangling", folder + "proj", folder + "keep"}) {
        DeleteFileA(path.c_str());
        RemoveDirectoryA(path.c_str());
    }
}

// Even root cannot create a file in Linux's /proc, seen through Wine's Z:
// drive; a folder that does not exist cannot take a file either.
TEST_F(ExportTest, UnwritableFolderGetsTheBoxAndNothingIsCreated)
{
    DWORD proc = GetFileAttributesA("Z:\\proc");
    ASSERT_TRUE(proc != INVALID_FILE_ATTRIBUTES && (proc & FILE_ATTRIBUTE_DIRECTORY) != 0)
        << "needs Wine's Z: drive on the Linux root";
    std::set<std::string> before = NamesIn("Z:\\proc\\");
    std::string targets[] = {"Z:\\proc\\tarnlight report.txt", folder + "no such folder\\report.txt"};
    for (const std::string &target : targets) {
        SCOPED_TRACE(target);
        Save({ChooseFile(target), PressButton(IDOK)});
        ASSERT_EQ(2u, SeenDialogs().size());
        EXPECT_EQ(SaveErrorText(target), SeenDialogs()[1].text);
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(target.c_str()));
    }
    for (const std::string &name : NamesIn("Z:\\proc\\"))
        EXPECT_TRUE(before.count(name) != 0 || name.find_first_not_of("0123456789") == std::string::npos)
            << "new file " << name << " (new process folders aside)";
    EXPECT_TRUE(NamesIn(folder).empty());
}

} // namespace
