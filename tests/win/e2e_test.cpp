// The real tarnlight.exe started as a user starts it: what its window shows
// after start-up and how it ends.
#include <gtest/gtest.h>

#include "res/resource.h"
#include "e2e.h"
#include "harness.h"

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

} // namespace
