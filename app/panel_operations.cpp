// The panel operations that the comparison calls, done with Win32.
#include "app/app.h"

#include <commctrl.h>
#include <type_traits>

#include "compare/panel.h"

static_assert(std::is_same<PanelWindow, HWND>::value, "the seam passes HWND unchanged");

enum {
    REPAINT_INTERVAL_MS = 250,
    MAX_PAINTS_AT_ONCE = 64     // a window that never validates cannot hold us
};

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

void ShowProgressBar(PanelWindow panel)
{
    ShowWindow(GetDlgItem(panel, IDC_PROGRESS), SW_SHOW);
    g_lastPaintTick = GetTickCount();
}

void StepProgressBar(PanelWindow panel)
{
    SendDlgItemMessageA(panel, IDC_PROGRESS, PBM_STEPIT, 0, 0);
}

void HideProgressBar(PanelWindow panel)
{
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

void KeepPanelPainted(PanelWindow panel, bool percentChanged)
{
    if (percentChanged) {
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
