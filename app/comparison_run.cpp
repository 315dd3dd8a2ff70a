// A comparison run of the window, whole: the flag that a run goes, the
// messages that arrive meanwhile and what becomes of them after it, the
// thread it reads and compares on, and its bar, face and painting.
#include "app/app.h"

#include <commctrl.h>
#include <cstring>
#include <type_traits>
#include <vector>

#include "compare/panel.h"

static_assert(std::is_same<RunThread, HANDLE>::value, "the seam passes the thread's HANDLE unchanged");

enum {
    SHORT_RUN_MS = 50,          // a run on course to end this soon never puts its bar on screen
    REPAINT_INTERVAL_MS = 50,   // the longest the window goes unpainted during a run
    MAX_PAINTS_AT_ONCE = 64     // a window that never validates cannot hold us
};

struct HeldMessage {
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
};

// True while a run goes. Its repaints let messages that other programs send
// reach the main window; they are held until it ends.
static bool s_runGoing;
// Commands and drops held during a run, in the order they came.
static std::vector<HeldMessage> s_held;
// True while held messages are carried out: a run that one of them starts
// leaves what arrives meanwhile to the loop already going, behind the rest.
static bool s_carryingOut;
// The held drop being carried out: a copy of our own, so ours to free.
static HDROP s_heldDropCarriedOut;
static bool s_closeHeld;

// When the current run started its clock, and whether its bar still waits to
// go on screen (see ShowProgressBarOnceLong).
static LARGE_INTEGER s_runStart;
static bool s_barWaiting;
// Tick of the last time a run let the window paint.
static DWORD s_lastPaintTick;
// The bar and the face of the panel that a run is on: a run steps and paints
// them hundreds of times, and under Wine each GetDlgItem asks the server.
static HWND s_runPanel;
static HWND s_runBar;
static HWND s_runFace;

// A drop sent from another program is not ours: its handle is the sender's,
// to be freed once we return. One held for later is copied now.
static HDROP KeepDropForLater(HDROP drop)
{
    if (!InSendMessage())
        return drop;
    SIZE_T size = GlobalSize(drop);
    const void *from = size != 0 ? GlobalLock(drop) : NULL;
    // Nothing to read: carried out as a drop of no names, as it would be now.
    if (from == NULL)
        return NULL;
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
    void *to = copy != NULL ? GlobalLock(copy) : NULL;
    if (to != NULL) {
        std::memcpy(to, from, size);
        GlobalUnlock(copy);
    } else if (copy != NULL) {
        GlobalFree(copy);
        copy = NULL;
    }
    GlobalUnlock(drop);
    return static_cast<HDROP>(copy);
}

// The window takes no input during a run, so what gets here was sent by
// another program or came through a box's own loop. Commands and drops wait
// for the end of the run, as they would in the queue; so does a close, which
// comes after them: the panel stays under the run, and the settings are
// saved once, on the way out.
bool HoldMessageDuringRun(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!s_runGoing)
        return false;
    switch (msg) {
    case WM_CLOSE:
    case WM_DESTROY:
        s_closeHeld = true;
        return true;
    case WM_DROPFILES: {
        HDROP kept = KeepDropForLater(reinterpret_cast<HDROP>(wParam));
        s_held.push_back(HeldMessage{msg, reinterpret_cast<WPARAM>(kept), lParam});
        return true;
    }
    case WM_COMMAND:
        s_held.push_back(HeldMessage{msg, wParam, lParam});
        return true;
    }
    return false;
}

bool IsHeldDropOfOurOwn(HDROP drop)
{
    return drop != NULL && drop == s_heldDropCarriedOut;
}

// A held message is handled as it would have been had it waited: through
// the main window's procedure, from this thread.
void CarryOutHeldMessages(HWND panel)
{
    if (s_runGoing || s_carryingOut || (s_held.empty() && !s_closeHeld))
        return;
    HWND mainWindow = GetParent(panel);
    s_carryingOut = true;
    for (size_t next = 0; next < s_held.size(); ++next) {
        HeldMessage held = s_held[next];
        if (held.msg == WM_DROPFILES)
            s_heldDropCarriedOut = reinterpret_cast<HDROP>(held.wParam);
        SendMessageA(mainWindow, held.msg, held.wParam, held.lParam);
        s_heldDropCarriedOut = NULL;
    }
    s_held.clear();
    s_carryingOut = false;
    if (s_closeHeld) {
        s_closeHeld = false;
        PostMessageA(mainWindow, WM_CLOSE, 0, 0);
    }
}

void StartComparison(HWND panel)
{
    s_runGoing = true;
    RunComparison(panel);
    s_runGoing = false;
}

HWND PanelControl(HWND panel, int id)
{
    if (panel == s_runPanel && id == IDC_PROGRESS)
        return s_runBar;
    if (panel == s_runPanel && id == IDC_FACE)
        return s_runFace;
    return GetDlgItem(panel, id);
}

// Under Wine a visible bar paints itself at every step, and the 99 steps of
// even the shortest run cost about 100 ms. So the bar goes on screen only when
// the run will last long enough for anyone to see it (KeepPanelPainted), at
// the position that its steps have reached by then.
void ShowProgressBarOnceLong(PanelWindow)
{
    QueryPerformanceCounter(&s_runStart);
    s_barWaiting = true;
}

void StepProgressBar(PanelWindow panel)
{
    SendMessageA(PanelControl(panel, IDC_PROGRESS), PBM_STEPIT, 0, 0);
}

void HideProgressBar(PanelWindow panel)
{
    s_barWaiting = false;
    ShowWindow(PanelControl(panel, IDC_PROGRESS), SW_HIDE);
}

void ResetProgressBar(PanelWindow panel)
{
    SendMessageA(PanelControl(panel, IDC_PROGRESS), PBM_SETPOS, 0, 0);
}

// Paints what is waiting to be painted, and nothing else: no input message is
// taken, so a run still cannot be interrupted. Peeking also tells the system
// that the window is alive, so it is not shown as hung.
static void PaintPendingWindows()
{
    MSG msg;
    for (int i = 0; i < MAX_PAINTS_AT_ONCE && PeekMessageA(&msg, NULL, WM_PAINT, WM_PAINT, PM_REMOVE); ++i)
        DispatchMessageA(&msg);
    s_lastPaintTick = GetTickCount();
}

static LONGLONG MicrosecondsSinceRunStart()
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return (now.QuadPart - s_runStart.QuadPart) * 1000000 / frequency.QuadPart;
}

// Each step stands for a hundredth of the run done at least, so the pace so
// far can only overstate the length of a run, never understate it.
static bool RunLooksShort(PanelWindow panel)
{
    LONGLONG elapsed = MicrosecondsSinceRunStart();
    LONGLONG steps = SendMessageA(PanelControl(panel, IDC_PROGRESS), PBM_GETPOS, 0, 0);
    LONGLONG expected = steps > 0 ? elapsed * 100 / steps : elapsed;
    return expected < SHORT_RUN_MS * 1000LL;
}

// Nothing is painted on purpose while the bar waits, so whatever answers a
// message from inside a run finds the bar shown.
void KeepPanelPainted(PanelWindow panel, bool percentChanged)
{
    bool barAppears = s_barWaiting;
    if (barAppears) {
        if (RunLooksShort(panel))
            return;
        s_barWaiting = false;
        ShowWindow(PanelControl(panel, IDC_PROGRESS), SW_SHOW);
    }
    if (percentChanged || barAppears) {
        UpdateWindow(PanelControl(panel, IDC_PROGRESS));
        UpdateWindow(PanelControl(panel, IDC_FACE));
        PaintPendingWindows();
    } else if (GetTickCount() - s_lastPaintTick >= REPAINT_INTERVAL_MS) {
        PaintPendingWindows();
    }
}

// What the run's thread is to do; one run at a time.
static void (*s_runWork)(void *job);
static void *s_runJob;

static DWORD WINAPI RunThreadMain(LPVOID)
{
    s_runWork(s_runJob);
    return 0;
}

RunThread StartRunThread(PanelWindow panel, void (*work)(void *job), void *job)
{
    s_runWork = work;
    s_runJob = job;
    s_runBar = GetDlgItem(panel, IDC_PROGRESS);
    s_runFace = GetDlgItem(panel, IDC_FACE);
    s_runPanel = panel;
    // The window was painted before the run: a short run paints nothing more
    // than what it changes.
    s_lastPaintTick = GetTickCount();
    HANDLE thread = CreateThread(NULL, 0, RunThreadMain, NULL, 0, NULL);
    if (thread == NULL)
        s_runPanel = NULL;
    return thread;
}

// The wait ends the moment the thread does. While it goes on, the window is
// painted at least every REPAINT_INTERVAL_MS, reports or none.
bool AwaitRunThread(PanelWindow panel, RunThread thread, int milliseconds)
{
    if (WaitForSingleObject(thread, static_cast<DWORD>(milliseconds)) == WAIT_TIMEOUT) {
        KeepPanelPainted(panel, false);
        return false;
    }
    CloseHandle(thread);
    s_runPanel = NULL;
    return true;
}
