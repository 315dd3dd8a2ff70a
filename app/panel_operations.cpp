// The panel operations that the comparison calls, done with Win32.
#include "app/app.h"

#include <commctrl.h>
#include <type_traits>

#include "compare/panel.h"

static_assert(std::is_same<PanelWindow, HWND>::value, "the seam passes HWND unchanged");

enum {
    SHORT_RUN_MS = 50,          // a run on course to end this soon never puts its bar on screen
    REPAINT_INTERVAL_MS = 50,   // with one read between checks, gaps stay under 100 ms
    MAX_PAINTS_AT_ONCE = 64     // a window that never validates cannot hold us
};

// When the current run showed its bar, and whether the bar still waits to go
// on screen (see ShowProgressBar).
static LARGE_INTEGER g_runStart;
static bool g_barWaiting;
// Tick of the last time a long run let the window paint.
static DWORD g_lastPaintTick;

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

void GetPanelText(PanelWindow panel, PanelField field, char *text, int size)
{
    GetDlgItemTextA(panel, ControlOf(field), text, size);
}

void SetPanelText(PanelWindow panel, PanelField field, const char *text)
{
    SetDlgItemTextA(panel, ControlOf(field), text);
}

// Under Wine a visible bar paints itself at every step, and the 99 steps of
// even the shortest run cost about 100 ms. So the bar goes on screen only when
// the run will last long enough for anyone to see it (KeepPanelPainted), at
// the position that its steps have reached by then.
void ShowProgressBar(PanelWindow)
{
    QueryPerformanceCounter(&g_runStart);
    g_barWaiting = true;
}

void StepProgressBar(PanelWindow panel)
{
    SendDlgItemMessageA(panel, IDC_PROGRESS, PBM_STEPIT, 0, 0);
}

void HideProgressBar(PanelWindow panel)
{
    g_barWaiting = false;
    ShowWindow(GetDlgItem(panel, IDC_PROGRESS), SW_HIDE);
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
    g_lastPaintTick = GetTickCount();
}

static LONGLONG MicrosecondsSinceRunStart()
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return (now.QuadPart - g_runStart.QuadPart) * 1000000 / frequency.QuadPart;
}

// Each step stands for a hundredth of the run done at least, so the pace so
// far can only overstate the length of a run, never understate it.
static bool RunLooksShort(PanelWindow panel)
{
    LONGLONG elapsed = MicrosecondsSinceRunStart();
    LONGLONG steps = SendDlgItemMessageA(panel, IDC_PROGRESS, PBM_GETPOS, 0, 0);
    LONGLONG expected = steps > 0 ? elapsed * 100 / steps : elapsed;
    return expected < SHORT_RUN_MS * 1000LL;
}

// Nothing is painted on purpose while the bar waits, so whatever answers a
// message from inside a run finds the bar shown.
void KeepPanelPainted(PanelWindow panel, bool percentChanged)
{
    bool barAppears = g_barWaiting;
    if (barAppears) {
        if (RunLooksShort(panel))
            return;
        g_barWaiting = false;
        ShowWindow(GetDlgItem(panel, IDC_PROGRESS), SW_SHOW);
    }
    if (percentChanged || barAppears) {
        UpdateWindow(GetDlgItem(panel, IDC_PROGRESS));
        UpdateWindow(GetDlgItem(panel, IDC_FACE));
        PaintPendingWindows();
    } else if (GetTickCount() - g_lastPaintTick >= REPAINT_INTERVAL_MS) {
        PaintPendingWindows();
    }
}

void FocusPanelControl(PanelWindow panel, PanelField field)
{
    SetFocus(GetDlgItem(panel, ControlOf(field)));
}

void ShowErrorBox(PanelWindow panel, const char *text)
{
    MessageBoxA(panel, text, "エラー", MB_OK | MB_ICONWARNING);
}
