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
#include <tlhelp32.h>

namespace {

const LONGLONG LONG_FILE_SIZE = 200LL * 1000 * 1000;
const UINT PING = WM_APP + 1;
const DWORD STALL_MS = 400;   // far longer than the window may go unpainted

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
// The threads of this process before the run; the one that appears with it
// is the run's, which the staller holds still as a slow share would.
std::set<DWORD> g_threadsBeforeRun;
HANDLE g_staller;
volatile LONG g_stalled;
volatile LONG g_boxPaintsWhileStalled;
bool g_stallMade;

std::set<DWORD> ThreadsOfThisProcess()
{
    std::set<DWORD> threads;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        if (entry.th32OwnerProcessID == GetCurrentProcessId())
            threads.insert(entry.th32ThreadID);
    CloseHandle(snapshot);
    return threads;
}

// The run's thread stops in the middle of its work and reports nothing for
// STALL_MS; meanwhile part of the panel needs painting.
DWORD WINAPI StallTheRun(LPVOID)
{
    std::set<DWORD> fresh;
    for (DWORD id : ThreadsOfThisProcess())
        if (!g_threadsBeforeRun.count(id) && id != GetCurrentThreadId() && id != GetThreadId(g_pinger))
            fresh.insert(id);
    if (fresh.size() != 1)
        return 0;
    HANDLE run = OpenThread(THREAD_SUSPEND_RESUME, FALSE, *fresh.begin());
    if (run == NULL || SuspendThread(run) == static_cast<DWORD>(-1))
        return 0;
    g_stallMade = true;
    InterlockedExchange(&g_stalled, 1);
    InvalidateRect(g_box, NULL, TRUE);
    Sleep(STALL_MS);
    InterlockedExchange(&g_stalled, 0);
    ResumeThread(run);
    CloseHandle(run);
    return 0;
}

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
            g_staller = CreateThread(NULL, 0, StallTheRun, NULL, 0, NULL);
        }
    }
    return CallWindowProcA(g_barProc, bar, msg, wParam, lParam);
}

LRESULT CALLBACK BoxProc(HWND box, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_PAINT && g_inRun)
        ++g_boxPaintsDuringRun;
    if (msg == WM_PAINT && g_stalled)
        InterlockedIncrement(&g_boxPaintsWhileStalled);
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

// Another program's sends during a run, in this order: each is answered at
// once, and the sender frees its drop as after any send.
HWND g_mainWindow;
std::string g_droppedName;
HANDLE g_sender;
int g_answeredInsideRun;

DWORD WINAPI SendDuringRun(LPVOID bar)
{
    HDROP drop = MakeDrop({g_droppedName});
    const struct { UINT msg; WPARAM wParam; } sends[] = {
        {WM_COMMAND, MAKEWPARAM(IDM_CLEAR, 0)},
        {WM_DROPFILES, reinterpret_cast<WPARAM>(drop)},
        {WM_COMMAND, MAKEWPARAM(IDM_COMPARE, 0)}};
    for (const auto &send : sends) {
        DWORD_PTR result = 0;
        SendMessageTimeoutA(g_mainWindow, send.msg, send.wParam, 0, SMTO_NORMAL, 60000, &result);
        g_answeredInsideRun += IsWindowVisible(static_cast<HWND>(bar)) ? 1 : 0;
        if (send.msg == WM_DROPFILES)
            GlobalFree(drop);
    }
    return 0;
}

LRESULT CALLBACK SendingBarProc(HWND bar, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_PAINT && g_inRun && g_sender == NULL)
        g_sender = CreateThread(NULL, 0, SendDuringRun, bar, 0, NULL);
    return CallWindowProcA(g_barProc, bar, msg, wParam, lParam);
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
        for (HANDLE *helper : {&g_pinger, &g_staller, &g_sender}) {
            if (*helper != NULL) {
                WaitForSingleObject(*helper, 60000);
                CloseHandle(*helper);
                *helper = NULL;
            }
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

    g_threadsBeforeRun = ThreadsOfThisProcess();
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
    // While the run's thread reported nothing, the window still painted.
    WaitForSingleObject(g_staller, 60000);
    EXPECT_TRUE(g_stallMade);
    EXPECT_GE(g_boxPaintsWhileStalled, 1);

    EXPECT_EQ(g_inputDuringRun, 0);
    EXPECT_EQ(ControlText(g_panel, IDC_FILE1), first);
    EXPECT_EQ(ControlText(g_panel, IDC_FACE), "(ToT)");
    EXPECT_FALSE(IsControlVisible(g_panel, IDC_PROGRESS));

    // The input was kept, not dropped: it arrives once the loop runs again
    // (with the character that the key makes).
    PumpMessages();
    EXPECT_GE(g_inputAfterRun, 4);
}

// What other programs send during a run waits for its end and is then
// carried out in the order it came: Clear, the drop (after its sender freed
// it), then a Compare that finds file 2 empty. None starts a run inside it.
TEST_F(ProgressTest, CommandsAndDropSentDuringARunAreCarriedOutAfterItInOrder)
{
    ASSERT_NE(mainWindow, (HWND)NULL);
    g_mainWindow = mainWindow;
    g_droppedName = MakeTempFile("dropped during a run.bin", "x");
    g_barProc = Subclass(GetDlgItem(g_panel, IDC_PROGRESS), SendingBarProc);
    g_inRun = true;
    SendMessageA(mainWindow, WM_COMMAND, MAKEWPARAM(IDM_COMPARE, 0), 0);
    g_inRun = false;
    ASSERT_NE(g_sender, (HANDLE)NULL);
    WaitForSingleObject(g_sender, 60000);
    EXPECT_EQ(g_answeredInsideRun, 3);
    EXPECT_EQ(ControlText(g_panel, IDC_FILE1), g_droppedName);
    EXPECT_EQ(ControlText(g_panel, IDC_FILE2), "");
    EXPECT_EQ(ControlText(g_panel, IDC_MESSAGE), "２つのファイルを指定してください。");
    EXPECT_EQ(ControlText(g_panel, IDC_FACE), "(-_-)");
    DeleteFileA(g_droppedName.c_str());
}

} // namespace
