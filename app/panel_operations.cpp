// The panel operations that the comparison calls, done with Win32.
#include "app/app.h"

#include <commctrl.h>
#include <type_traits>

#include "compare/engine.h"
#include "compare/panel.h"

static_assert(std::is_same<PanelWindow, HWND>::value, "the seam passes HWND unchanged");

enum {
    SHORT_RUN_MS = 50,          // a run on course to end this soon never puts its bar on screen
    REPAINT_INTERVAL_MS = 50,   // checked at every report and while none comes, so gaps stay under 100 ms
    MAX_PAINTS_AT_ONCE = 64,    // a window that never validates cannot hold us
    REPORT_LOOK_MS = 1          // how often the panel's thread looks for new reports
};

// When the current run showed its bar, and whether the bar still waits to go
// on screen (see ShowProgressBarOnceLong).
static LARGE_INTEGER s_runStart;
static bool s_barWaiting;
// Tick of the last time a long run let the window paint.
static DWORD s_lastPaintTick;

// What the run's thread reported. It reports PROGRESS_STARTED, then each
// percentage upward once, and ended reads: so the highest value and a count
// of ended reads say it all, and the panel's thread needs no queue. Neither
// thread waits on the other through a kernel object: under Wine each such
// call asks the server, which the panel's painting keeps busy, while Sleep
// does not.
static_assert(PROGRESS_STARTED == PROGRESS_READ + 1, "the reports other than reads count up from PROGRESS_READ");
static volatile LONG s_reportedUpTo;
static volatile LONG s_readsEnded;
static volatile LONG s_workEnded;
static DWORD s_panelThread;
static void (*s_showOnPanelThread)(void *panel, int percent);

// The bar and the face of the panel that a run is on: a run steps and paints
// them hundreds of times, and under Wine each GetDlgItem asks the server.
static PanelWindow s_runPanel;
static HWND s_runBar;
static HWND s_runFace;

struct PanelWork {
    void (*work)(void *job);
    void *job;
};

static int ControlOf(PanelField field)
{
    switch (field) {
    case FILE1_FIELD:   return IDC_FILE1;
    case FILE2_FIELD:   return IDC_FILE2;
    case MESSAGE_LINE:  return IDC_MESSAGE;
    case FACE_FIELD:    return IDC_FACE;
    case RESULT_FIELD:  return IDC_RESULT;
    }
    return IDC_RESULT;
}

static HWND ControlWindow(PanelWindow panel, int id)
{
    if (panel == s_runPanel && id == IDC_PROGRESS)
        return s_runBar;
    if (panel == s_runPanel && id == IDC_FACE)
        return s_runFace;
    return GetDlgItem(panel, id);
}

void GetPanelText(PanelWindow panel, PanelField field, char *text, int size)
{
    GetDlgItemTextA(panel, ControlOf(field), text, size);
}

void SetPanelText(PanelWindow panel, PanelField field, const char *text)
{
    SendMessageA(ControlWindow(panel, ControlOf(field)), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
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
    SendMessageA(ControlWindow(panel, IDC_PROGRESS), PBM_STEPIT, 0, 0);
}

void HideProgressBar(PanelWindow panel)
{
    s_barWaiting = false;
    ShowWindow(ControlWindow(panel, IDC_PROGRESS), SW_HIDE);
}

void ResetProgressBar(PanelWindow panel)
{
    SendDlgItemMessageA(panel, IDC_PROGRESS, PBM_SETPOS, 0, 0);
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
    LONGLONG steps = SendMessageA(ControlWindow(panel, IDC_PROGRESS), PBM_GETPOS, 0, 0);
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
        ShowWindow(ControlWindow(panel, IDC_PROGRESS), SW_SHOW);
    }
    if (percentChanged || barAppears) {
        UpdateWindow(ControlWindow(panel, IDC_PROGRESS));
        UpdateWindow(ControlWindow(panel, IDC_FACE));
        PaintPendingWindows();
    } else if (GetTickCount() - s_lastPaintTick >= REPAINT_INTERVAL_MS) {
        PaintPendingWindows();
    }
}

static LONG ReadShared(volatile LONG *value)
{
    return InterlockedCompareExchange(value, 0, 0);
}

void PassProgressToPanel(void *panel, int percent)
{
    if (GetCurrentThreadId() == s_panelThread) {
        s_showOnPanelThread(panel, percent);
    } else if (percent == PROGRESS_READ) {
        InterlockedIncrement(&s_readsEnded);
    } else {
        InterlockedExchange(&s_reportedUpTo, percent);
    }
}

static DWORD WINAPI RunPanelWork(LPVOID data)
{
    PanelWork *work = static_cast<PanelWork *>(data);
    work->work(work->job);
    InterlockedExchange(&s_workEnded, 1);
    return 0;
}

// Shows what the run's thread reported since the last look, in its order.
static void ShowNewReports(PanelWindow panel, void (*show)(void *, int), LONG *shownUpTo, LONG *readsShown)
{
    LONG reads = ReadShared(&s_readsEnded);
    LONG upTo = ReadShared(&s_reportedUpTo);
    while (*shownUpTo < upTo)
        show(panel, ++*shownUpTo);
    if (reads != *readsShown) {
        *readsShown = reads;
        show(panel, PROGRESS_READ);
    }
}

// A slow read (a network drive, a slow disk) sends no report for a while;
// the window is still painted, and the bar still goes on screen, in time.
static void ShowReportsUntilWorkEnds(PanelWindow panel, void (*show)(void *, int))
{
    LONG shownUpTo = PROGRESS_READ, readsShown = 0;
    DWORD lastLook = GetTickCount();
    bool ended = false;
    while (!ended) {
        Sleep(REPORT_LOOK_MS);
        ended = ReadShared(&s_workEnded) != 0;
        LONG before = shownUpTo + readsShown;
        ShowNewReports(panel, show, &shownUpTo, &readsShown);
        if (shownUpTo + readsShown != before) {
            lastLook = GetTickCount();
        } else if (GetTickCount() - lastLook >= REPAINT_INTERVAL_MS) {
            KeepPanelPainted(panel, false);
            lastLook = GetTickCount();
        }
    }
}

void RunWithProgressOnPanel(PanelWindow panel, void (*work)(void *), void *job, void (*show)(void *, int))
{
    s_reportedUpTo = PROGRESS_READ;
    s_readsEnded = 0;
    s_workEnded = 0;
    s_panelThread = GetCurrentThreadId();
    s_showOnPanelThread = show;
    s_runBar = GetDlgItem(panel, IDC_PROGRESS);
    s_runFace = GetDlgItem(panel, IDC_FACE);
    s_runPanel = panel;
    PanelWork data = {work, job};
    HANDLE thread = CreateThread(NULL, 0, RunPanelWork, &data, 0, NULL);
    if (thread != NULL) {
        ShowReportsUntilWorkEnds(panel, show);
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    } else {
        // Without a thread of its own the run reports straight to show.
        work(job);
    }
    s_runPanel = NULL;
    s_panelThread = 0;
}

void FocusPanelControl(PanelWindow panel, PanelField field)
{
    SetFocus(GetDlgItem(panel, ControlOf(field)));
}

void ShowErrorBox(PanelWindow panel, const char *text)
{
    MessageBoxA(panel, text, "エラー", MB_OK | MB_ICONWARNING);
}
