// The real main window, made in-process: what a user sees after start-up.
#include <gtest/gtest.h>

#include "harness.h"

namespace {

struct MainWindowTest : ::testing::Test {
    HWND mainWindow = NULL;
    void SetUp() override { RemoveTarnlightRegistry(); mainWindow = StartMainWindow(); }
    void TearDown() override { CloseMainWindow(mainWindow); RemoveTarnlightRegistry(); }
};

TEST_F(MainWindowTest, StartsWithEmptyFieldsAndHiddenProgressBar)
{
    ASSERT_NE(mainWindow, (HWND)NULL);
    EXPECT_EQ(WindowText(mainWindow), "Tarnlight");
    EXPECT_EQ(ControlText(g_panel, IDC_FILE1), "");
    EXPECT_EQ(ControlText(g_panel, IDC_FILE2), "");
    EXPECT_FALSE(IsControlVisible(g_panel, IDC_PROGRESS));
    EXPECT_TRUE(IsControlVisible(g_panel, IDC_MESSAGE));
}

TEST_F(MainWindowTest, ClosingEndsWithCodeZero)
{
    EXPECT_EQ(CloseMainWindow(mainWindow), 0);
    mainWindow = NULL;
}

} // namespace
