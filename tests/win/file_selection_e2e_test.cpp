// The real tarnlight.exe started with names on its command line: which fields
// they reach, the open dialog for a folder, and a start-up comparison's verdict.
#include <gtest/gtest.h>

#include "res/resource.h"
#include "e2e.h"
#include "harness.h"

namespace {

struct CommandLineE2eTest : ::testing::Test {
    TarnlightProcess program = {};
    std::string fileA, fileB;

    void SetUp() override
    {
        RemoveTarnlightRegistry();
        fileA = MakeTempFile("e2e-a.bin", "alpha");
        fileB = MakeTempFile("e2e-b.bin", "bravo");
    }
    void TearDown() override
    {
        EndTarnlight(&program);
        RemoveTarnlightRegistry();
    }
    void ExpectFields(const std::string &file1, const std::string &file2)
    {
        EXPECT_EQ(ReadControl(&program, IDC_FILE1), file1);
        EXPECT_EQ(ReadControl(&program, IDC_FILE2), file2);
    }
};

TEST_F(CommandLineE2eTest, UpToTwoNamesFillTheFieldsAndAThirdIsNeitherPlacedNorOpened)
{
    // Held without sharing: opening it would bring up the open dialog.
    std::string locked = MakeTempFile("e2e-locked.bin", "charlie");
    HANDLE holder = HoldWithoutSharing(locked);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    const std::vector<std::string> cases[] = {{}, {fileA}, {fileA, fileB}, {fileA, fileB, locked}};
    for (const std::vector<std::string> &args : cases) {
        SCOPED_TRACE(args.size());
        EXPECT_TRUE(StartTarnlightIdle(&program, args));
        EXPECT_TRUE(ProgramDialogs(&program).empty());
        ExpectFields(args.size() > 0 ? args[0] : "", args.size() > 1 ? args[1] : "");
        EXPECT_EQ(CloseTarnlight(&program), 0);
        EndTarnlight(&program);
    }
    CloseHandle(holder);
}

TEST_F(CommandLineE2eTest, FolderShowsTheOpenDialogAndCancelLeavesFieldsEmpty)
{
    std::string folder = MakeTempFolder("e2e-folder");
    ASSERT_TRUE(StartTarnlight(&program, {folder}));
    HWND dialog = WaitForDialog(&program);
    ASSERT_NE(dialog, (HWND)NULL);
    EXPECT_TRUE(PressDialogButton(dialog, IDCANCEL));
    ASSERT_TRUE(WaitUntilIdle(&program));
    EXPECT_TRUE(ProgramDialogs(&program).empty());
    ExpectFields("", "");
    EXPECT_EQ(CloseTarnlight(&program), 0);
}

TEST_F(CommandLineE2eTest, TwoNamesWithAutoCompareShowTheVerdictAtStartUp)
{
    std::string copy = MakeTempFile("e2e-a-copy.bin", "alpha");
    StoreSetting("sudden", 1);
    ASSERT_TRUE(StartTarnlightIdle(&program, {fileA, copy}));
    ExpectFields(fileA, copy);
    EXPECT_EQ(ReadControl(&program, IDC_MESSAGE), "同じ内容のファイルです。");
    EXPECT_EQ(ReadControl(&program, IDC_FACE), "(^-^)");
    EXPECT_NE(ReadControl(&program, IDC_RESULT), "");
    EXPECT_EQ(CloseTarnlight(&program), 0);
}

// Names that do not fit the 255-byte buffers reach their field whole and are
// never browsed; the start-up comparison refuses them by name. The one that
// fits is compared as always.
TEST_F(CommandLineE2eTest, NamesOverTheLimitReachTheFieldWholeAndAreRefused)
{
    LimitNames names = MakeLimitNames("alpha");
    StoreSetting("sudden", 1);
    const struct {
        std::string name;
        bool refused;
    } cases[] = {{names.file255, false}, {names.folder256, true}, {names.name300, true}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name.size());
        ASSERT_TRUE(StartTarnlight(&program, {c.name, fileA}));
        if (c.refused) {
            HWND box = WaitForDialog(&program);
            ASSERT_NE(box, (HWND)NULL);
            EXPECT_EQ(DialogCaption(box), "エラー");
            std::string text = DialogText(box);
            EXPECT_EQ(text.find("1番目のファイル\r\n\""), 0u) << text;
            EXPECT_NE(text.find("は名前が長すぎます（255バイトまで）。"), std::string::npos) << text;
            EXPECT_TRUE(PressDialogButton(box, IDOK));
        }
        ASSERT_TRUE(WaitUntilIdle(&program));
        EXPECT_TRUE(ProgramDialogs(&program).empty());
        ExpectFields(c.name, fileA);
        EXPECT_EQ(ReadControl(&program, IDC_MESSAGE), c.refused ? "" : "同じ内容のファイルです。");
        EXPECT_EQ(CloseTarnlight(&program), 0);
        EndTarnlight(&program);
    }
}

} // namespace
