// Progress during a long comparison in the real window: the bar and the
// percentage in the face field get painted while the run goes on, the window
// keeps answering, and input waits until the run is over.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "compare/compare.h"
#include "harness.h"

#include <commctrl.h>

namespace {

const LONGLONG LONG_FILE_SIZE = 200LL * 1000 * 1000;
const UINT PING = WM_APP + 1;

WNDPROC g_barProc, g_faceProc, g_fieldProc, g_boxProc;
HWND g_box;
int g_boxPaintsDuringRun;
bool g_inRun;
std::set<LRESULT> g_paintedPositions;
std::set<std::string> g_paintedFaces;
std::vector<std::string> g_facesSet;
int g_inputDuringRun, g_inputAfterRun;
bool g_answeredDuringRun;
HANDLE g_pinger;

DWORD WINAPI Ping(LPVOID bar)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(static_cast<HWND>(bar), PING, 0, 0, SMTO_NORMAL, 60000, &result);
    return 0;
}

// From inside the run: another thread sends a message and this waits until
// it is queued, so the run's own message peeking is what answers it.
void StartPingDuringRun(HWND bar)
{
    g_pinger = CreateThread(NULL, 0, Ping, bar, 0, NULL);
    for (int i = 0; i < 5000 && !(HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE); ++i)
        Sleep(1);
}

LRESULT CALLBACK BarProc(HWND bar, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == PING) {
        g_answeredDuringRun = g_inRun;
        return 1;
    }
    if (msg == WM_PAINT && g_inRun) {
        g_paintedPositions.insert(SendMessageA(bar, PBM_GETPOS, 0, 0));
        if (g_pinger == NULL) {
            StartPingDuringRun(bar);
            // As if another window had covered part of the panel and gone.
            InvalidateRect(g_box, NULL, TRUE);
        }
    }
    return CallWindowProcA(g_barProc, bar, msg, wParam, lParam);
}

LRESULT CALLBACK BoxProc(HWND box, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_PAINT && g_inRun)
        ++g_boxPaintsDuringRun;
    return CallWindowProcA(g_boxProc, box, msg, wParam, lParam);
}

// A static control may draw its new text at once (Wine does) or leave it to
// a later WM_PAINT: a text counts as painted either way.
LRESULT CALLBACK FaceProc(HWND face, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_PAINT && g_inRun)
        g_paintedFaces.insert(WindowText(face));
    if (msg == WM_SETTEXT && g_inRun)
        g_facesSet.push_back(reinterpret_cast<const char *>(lParam));
    LRESULT result = CallWindowProcA(g_faceProc, face, msg, wParam, lParam);
    if (msg == WM_SETTEXT && g_inRun && !GetUpdateRect(face, NULL, FALSE))
        g_paintedFaces.insert(WindowText(face));
    return result;
}

LRESULT CALLBACK FieldProc(HWND field, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if ((msg >= WM_KEYFIRST && msg <= WM_KEYLAST) || (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST))
        ++(g_inRun ? g_inputDuringRun : g_inputAfterRun);
    return CallWindowProcA(g_fieldProc, field, msg, wParam, lParam);
}

WNDPROC Subclass(HWND window, WNDPROC proc)
{
    return reinterpret_cast<WNDPROC>(SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc)));
}

struct ProgressTest : ::testing::Test {
    HWND mainWindow = NULL;
    std::string first, second;
    void SetUp() override
    {
        RemoveTarnlightRegistry();
        first = MakeSparseFile("long_first.bin", LONG_FILE_SIZE);
        second = MakeSparseFile("long_second.bin", LONG_FILE_SIZE, {LONG_FILE_SIZE / 2});
        mainWindow = StartMainWindow({first, second});
    }
    void TearDown() override
    {
        CloseMainWindow(mainWindow);
        if (g_pinger != NULL) {
            WaitForSingleObject(g_pinger, 60000);
            CloseHandle(g_pinger);
            g_pinger = NULL;
        }
        DeleteFileA(first.c_str());
        DeleteFileA(second.c_str());
        RemoveTarnlightRegistry();
    }
};

TEST_F(ProgressTest, LongRunPaintsItsProgressAnswersAndTakesNoInput)
{
    ASSERT_NE(mainWindow, (HWND)NULL);
    HWND field = GetDlgItem(g_panel, IDC_FILE1);
    g_barProc = Subclass(GetDlgItem(g_panel, IDC_PROGRESS), BarProc);
    g_faceProc = Subclass(GetDlgItem(g_panel, IDC_FACE), FaceProc);
    g_fieldProc = Subclass(field, FieldProc);
    g_box = GetDlgItem(g_panel, IDC_RESULTBOX);
    g_boxProc = Subclass(g_box, BoxProc);
    // Queued before the run: a user typing and clicking while it goes on.
    PostMessageA(field, WM_KEYDOWN, 'X', 0);
    PostMessageA(field, WM_KEYUP, 'X', 0);
    PostMessageA(field, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageA(field, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));

    g_inRun = true;
    RunComparison(g_panel);
    g_inRun = false;

    // Nearly every percentage was painted, in the bar and as text.
    EXPECT_GE(g_paintedPositions.size(), 90u);
    EXPECT_GE(g_paintedFaces.size(), 90u);
    EXPECT_EQ(g_paintedFaces.count(" 50%"), 1u);
    // Every percentage once and in order, between the resting and the final face.
    std::vector<std::string> faces = {"(-_-)"};
    for (int percent = 2; percent <= 99; ++percent) {
        char text[8];
        std::snprintf(text, sizeof text, "%3d%%", percent);
        faces.push_back(text);
    }
    faces.push_back("(ToT)");
    EXPECT_EQ(g_facesSet, faces);
    // A long run's bar is on screen from its first step, not only after a while.
    EXPECT_EQ(g_paintedPositions.count(1), 1u);
    EXPECT_TRUE(g_answeredDuringRun);
    EXPECT_GE(g_boxPaintsDuringRun, 1);

    EXPECT_EQ(g_inputDuringRun, 0);
    EXPECT_EQ(ControlText(g_panel, IDC_FILE1), first);
    EXPECT_EQ(ControlText(g_panel, IDC_FACE), "(ToT)");
    EXPECT_FALSE(IsControlVisible(g_panel, IDC_PROGRESS));

    // The input was kept, not dropped: it arrives once the loop runs again
    // (with the character that the key makes).
    PumpMessages();
    EXPECT_GE(g_inputAfterRun, 4);
}

} // namespace
