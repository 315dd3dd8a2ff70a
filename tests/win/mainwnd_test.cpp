// The real main window, made in-process: its class and frame, a comparison
// that the auto-compare flag starts during creation, and how it ends; the
// code page that the program's resources give it.
#include <gtest/gtest.h>

#include "compare/compare.h"
#include "harness.h"
#include "settings/settings.h"

namespace {

typedef MainWindowFixture MainWindowTest;

TEST_F(MainWindowTest, IsTheTarnlightWindowOf420By290AcceptingFiles)
{
    ASSERT_NE(mainWindow, (HWND)NULL);
    char className[32] = "";
    GetClassNameA(mainWindow, className, sizeof className);
    EXPECT_STREQ(className, "Tarnlight");
    EXPECT_EQ(WindowText(mainWindow), "Tarnlight");
    EXPECT_TRUE(IsWindowVisible(mainWindow));

    LONG style = GetWindowLongA(mainWindow, GWL_STYLE);
    EXPECT_EQ(style & WS_OVERLAPPEDWINDOW, static_cast<LONG>(WS_OVERLAPPEDWINDOW));
    EXPECT_EQ(style & (WS_POPUP | WS_CHILD), 0);
    EXPECT_TRUE(GetWindowLongA(mainWindow, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    EXPECT_EQ(GetParent(mainWindow), (HWND)NULL);

    RECT frame;
    GetWindowRect(mainWindow, &frame);
    EXPECT_EQ(frame.right - frame.left, 420);
    EXPECT_EQ(frame.bottom - frame.top, 290);
}

TEST_F(MainWindowTest, ClassHasNoStylesTheButtonFaceAndMenu102)
{
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    ASSERT_TRUE(GetClassInfoExA(GetModuleHandleA(NULL), "Tarnlight", &wc));
    EXPECT_EQ(wc.style, 0u);
    EXPECT_EQ(wc.lpfnWndProc, MainWndProc);
    EXPECT_EQ(wc.cbClsExtra, 0);
    EXPECT_EQ(wc.cbWndExtra, 0);
    EXPECT_EQ(reinterpret_cast<INT_PTR>(wc.hbrBackground), 16);
    EXPECT_EQ(wc.lpszMenuName, MAKEINTRESOURCEA(102));
    EXPECT_NE(wc.hIcon, (HICON)NULL);
    EXPECT_EQ(wc.hCursor, LoadCursorA(NULL, IDC_ARROW));
}

TEST_F(MainWindowTest, ClosingEndsWithCodeZeroInOrOutOfTheLoop)
{
    EXPECT_EQ(CloseMainWindow(mainWindow), 0);
    mainWindow = StartMainWindow();
    PostMessageA(mainWindow, WM_CLOSE, 0, 0);
    EXPECT_EQ(RunLoopUntilQuit(mainWindow, 10000), 0);
    EXPECT_FALSE(IsWindow(mainWindow));
    mainWindow = NULL;
}

// Auto-compare comes from the registry once settings are loaded at start-up;
// the record is set too, so the test holds before and after that.
struct AutoCompareTest : ::testing::Test {
    HWND mainWindow = NULL;
    void SetUp() override
    {
        RemoveTarnlightRegistry();
        StoreSetting("sudden", 1);
        g_settings.sudden = 1;
    }
    void TearDown() override
    {
        CloseMainWindow(mainWindow);
        g_settings = DefaultSettings();
        RemoveTarnlightRegistry();
    }
};

TEST_F(AutoCompareTest, TwoNamesAreComparedAtStartUpAndTheVerdictStays)
{
    std::string first = MakeTempFile("auto_first.bin", "abcdef");
    std::string second = MakeTempFile("auto_second.bin", "abcXef");
    mainWindow = StartMainWindow({first, second});
    ASSERT_NE(mainWindow, (HWND)NULL);
    EXPECT_EQ(ControlText(g_panel, IDC_FILE1), first);
    EXPECT_EQ(ControlText(g_panel, IDC_FILE2), second);
    // "合計1箇所違います。" and its face, not wiped by the size message that
    // follows creation.
    EXPECT_EQ(HexBytes(ControlText(g_panel, IDC_MESSAGE)),
              HexBytes("\x8d\x87\x8c\x76\x31\x89\xd3\x8f\x8a\x88\xe1\x82\xa2\x82\xdc\x82\xb7\x81\x42"));
    EXPECT_EQ(ControlText(g_panel, IDC_FACE), "(ToT)");
    EXPECT_EQ(ControlText(g_panel, IDC_RESULT), g_reportText);
    // The listing names offset 3: "        3 バイト目".
    EXPECT_NE(ControlText(g_panel, IDC_RESULT).find("        3 \x83\x6f\x83\x43\x83\x67\x96\xda"),
              std::string::npos);
    EXPECT_FALSE(IsControlVisible(g_panel, IDC_PROGRESS));

    // A real resize then takes the verdict away, and leaves the listing.
    SetWindowPos(mainWindow, NULL, 0, 0, 520, 340, SWP_NOMOVE | SWP_NOZORDER);
    PumpMessages();
    EXPECT_EQ(ControlText(g_panel, IDC_MESSAGE), "");
    EXPECT_EQ(ControlText(g_panel, IDC_FACE), "");
    EXPECT_EQ(ControlText(g_panel, IDC_RESULT), g_reportText);
}

TEST_F(AutoCompareTest, StartWithoutNamesStillRunsOnceOnEmptyFields)
{
    mainWindow = StartMainWindow();
    ASSERT_NE(mainWindow, (HWND)NULL);
    // The run sets the waiting face; without a run the face would be empty.
    EXPECT_EQ(ControlText(g_panel, IDC_FACE), "(-_-)");
    EXPECT_EQ(ControlText(g_panel, IDC_MESSAGE), "");
    EXPECT_EQ(ControlText(g_panel, IDC_RESULT), "");
}

// Run again under LANG=C.UTF-8 (mainwnd_test_c_utf8), whose code page is
// 1252: the manifest among the program's resources makes it 932.
TEST(CodePage, IsShiftJisWhateverTheLocale)
{
    EXPECT_EQ(GetACP(), 932u);
}

} // namespace
