// The real tarnlight.exe started as a user starts it: what its window shows
// after start-up, how it ends, and what other programs can do to a long run.
#include <gtest/gtest.h>

#include "res/resource.h"
#include "e2e.h"
#include "harness.h"
#include "settings/settings.h"

namespace {

struct TarnlightStartTest : ::testing::Test {
    TarnlightProcess program = {};
    void SetUp() override { RemoveTarnlightRegistry(); }
    void TearDown() override { EndTarnlight(&program); RemoveTarnlightRegistry(); }
};

TEST_F(TarnlightStartTest, WithoutArgumentsShowsTheWindowWithEmptyFields)
{
    ASSERT_TRUE(StartTarnlightIdle(&program, {})) << TarnlightExePath();
    EXPECT_EQ(DialogCaption(program.mainWindow), "Tarnlight");
    EXPECT_TRUE(ProgramDialogs(&program).empty());

    RECT frame;
    GetWindowRect(program.mainWindow, &frame);
    EXPECT_EQ(frame.right - frame.left, 420);
    EXPECT_EQ(frame.bottom - frame.top, 290);

    EXPECT_EQ(ReadControl(&program, IDC_FILE1), "");
    EXPECT_EQ(ReadControl(&program, IDC_FILE2), "");
    EXPECT_EQ(ReadControl(&program, IDC_RESULT), "");
    // The layout pass of the first showing has emptied both.
    EXPECT_EQ(ReadControl(&program, IDC_MESSAGE), "");
    EXPECT_EQ(ReadControl(&program, IDC_FACE), "");
    EXPECT_TRUE(IsRemoteControlVisible(&program, IDC_MESSAGE));
    EXPECT_FALSE(IsRemoteControlVisible(&program, IDC_PROGRESS));

    EXPECT_EQ(CloseTarnlight(&program), 0);
    EXPECT_FALSE(IsRunning(&program));
}

TEST_F(TarnlightStartTest, TakesTwoNamesFromTheCommandLineIntoTheFields)
{
    // A space, and "表示" whose second byte is 0x5C, must survive the
    // quoting and the runtime's splitting of the command line.
    std::string first = MakeTempFile("first name.bin", "abc");
    std::string second = MakeTempFile("表示.bin", "abd");
    ASSERT_TRUE(StartTarnlightIdle(&program, {first, second}));
    EXPECT_EQ(ReadControl(&program, IDC_FILE1), first);
    EXPECT_EQ(ReadControl(&program, IDC_FILE2), second) << HexBytes(ReadControl(&program, IDC_FILE2));
    EXPECT_EQ(CloseTarnlight(&program), 0);
}

TEST_F(TarnlightStartTest, AppliesTheShowCommandOfItsStart)
{
    ASSERT_TRUE(StartTarnlightIdle(&program, {}, NULL, SW_SHOWMAXIMIZED));
    EXPECT_TRUE(IsZoomed(program.mainWindow));
    RECT frame, field;
    GetWindowRect(program.mainWindow, &frame);
    GetWindowRect(GetDlgItem(program.panel, IDC_FILE1), &field);
    EXPECT_GT(frame.right - frame.left, 420);
    // Laid out again at the new size.
    EXPECT_EQ(field.right - field.left, frame.right - frame.left - 80);
    EXPECT_EQ(CloseTarnlight(&program), 0);
}

TEST_F(TarnlightStartTest, HandledCommandReturnsWithoutDialog)
{
    ASSERT_TRUE(StartTarnlightIdle(&program, {}));
    // 1200 is the toolbar separators' id: accepted and does nothing.
    EXPECT_EQ(RunCommand(&program, IDT_SEPARATOR), (HWND)NULL);
    EXPECT_TRUE(IsRunning(&program));
    EXPECT_TRUE(WaitUntilIdle(&program));
    EXPECT_EQ(CloseTarnlight(&program), 0);
}

// Sparse files of a few GiB that differ only near their end: a run over
// them lasts seconds under Wine, so a message can reach it mid-way.
const LONGLONG LONG_PAIR_SIZE = 2LL << 30;
const int LONG_RUN_MS = 180000;

struct RunUnderWayTest : TarnlightStartTest {
    std::string first, second;
    void SetUp() override
    {
        TarnlightStartTest::SetUp();
        first = MakeSparseFile("long_pair_first.bin", LONG_PAIR_SIZE);
        second = MakeSparseFile("long_pair_second.bin", LONG_PAIR_SIZE,
                                {LONG_PAIR_SIZE - 70000, LONG_PAIR_SIZE - 3, LONG_PAIR_SIZE - 1});
    }
    void TearDown() override
    {
        TarnlightStartTest::TearDown();
        DeleteFileA(first.c_str());
        DeleteFileA(second.c_str());
    }
    // Starts a Compare and returns once it runs.
    bool StartRun()
    {
        PostCommand(&program, IDM_COMPARE);
        return WaitUntilComparing(&program, LONG_RUN_MS);
    }
};

// Only other programs reach a running comparison: the window takes no input
// meanwhile, but the repaints let messages sent to it through. Each is held
// and carried out once the run has ended, in the order it came: the drop
// empties the result, Clear the fields, and the Compare finds them empty.
TEST_F(RunUnderWayTest, CommandsAndDropSentDuringARunAreCarriedOutAfterItInOrder)
{
    ASSERT_TRUE(StartTarnlightIdle(&program, {first, second}));
    ASSERT_TRUE(StartRun());
    // No list: a drop handle means nothing in another process.
    EXPECT_TRUE(SendToMainWindow(&program, WM_DROPFILES, 0, 0, LONG_RUN_MS));
    EXPECT_TRUE(SendToMainWindow(&program, WM_COMMAND, MAKEWPARAM(IDM_CLEAR, 0), 0, LONG_RUN_MS));
    EXPECT_TRUE(SendToMainWindow(&program, WM_COMMAND, MAKEWPARAM(IDM_COMPARE, 0), 0, LONG_RUN_MS));
    EXPECT_TRUE(IsRemoteControlVisible(&program, IDC_PROGRESS));   // answered inside the run
    EXPECT_EQ(ReadControl(&program, IDC_FILE1), first) << "nothing is carried out inside the run";
    ASSERT_TRUE(WaitUntilIdle(&program, LONG_RUN_MS));
    EXPECT_TRUE(ProgramDialogs(&program).empty());
    EXPECT_EQ(ReadControl(&program, IDC_FILE1), "");
    EXPECT_EQ(ReadControl(&program, IDC_FILE2), "");
    EXPECT_EQ(ReadControl(&program, IDC_RESULT), "");
    EXPECT_EQ(ReadControl(&program, IDC_MESSAGE), "２つのファイルを指定してください。");
    EXPECT_EQ(ReadControl(&program, IDC_FACE), "(-_-)");
    EXPECT_EQ(CloseTarnlight(&program), 0);
}

// A close sent during a run is kept until the run has ended, as a click on
// the close box is; then the program saves its settings and ends.
TEST_F(RunUnderWayTest, CloseSentDuringARunWaitsForItsEndThenTheProgramEnds)
{
    for (UINT close : {WM_CLOSE, WM_DESTROY}) {
        SCOPED_TRACE(close);
        RemoveTarnlightRegistry();
        ASSERT_TRUE(StartTarnlightIdle(&program, {first, second}));
        ASSERT_TRUE(StartRun());
        EXPECT_TRUE(SendToMainWindow(&program, close, 0, 0, LONG_RUN_MS));
        EXPECT_TRUE(IsWindow(program.mainWindow));
        EXPECT_TRUE(IsRemoteControlVisible(&program, IDC_PROGRESS));
        EXPECT_EQ(StoredSetting("maxdiffno"), -1);   // not saved yet
        EXPECT_EQ(WaitForExit(&program, LONG_RUN_MS), 0);
        EXPECT_EQ(StoredSetting("maxdiffno"), DefaultSettings().maxdiffno);
        EndTarnlight(&program);
    }
}

} // namespace
