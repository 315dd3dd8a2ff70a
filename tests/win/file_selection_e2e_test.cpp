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

} // namespace
