// The layout pass: sizes the panel's controls to the main window on every
// WM_SIZE, and warns in the message line when the window is too narrow.
#include "app/app.h"

enum {
    LAYOUT_MIN_WIDTH = MAIN_WIDTH,
    TOOLBAR_WIDTH = 1280,
    TOOLBAR_HEIGHT = 20
};

struct NarrowWarning {
    int widestBand;     // the band holds widths up to and including this
    const char *face;
    const char *message;
};

static const NarrowWarning NARROW_WARNINGS[] = {
    {120, "(ToT)", "狭すぎ!!"},
    {300, "(=o=)", "警告！　横幅が狭すぎます"},
    {LAYOUT_MIN_WIDTH - 1, "(=_=)", "注意　横幅が標準より小さくなっています"},
};

struct ControlSize {
    int id;
    int widthOffset;
    int height;             // fixed height, or 0 to grow with the window
    int heightOffset;
};

// In this order, so the result field ends on top of its siblings.
static const ControlSize LAYOUT_TABLE[] = {
    {IDC_FILE1, -80, 20, 0},
    {IDC_FILE2, -80, 20, 0},
    {IDC_RESULTBOX, -16, 0, -130},
    {IDC_MESSAGE, -78, 20, 0},
    {IDC_PROGRESS, -78, 20, 0},
    {IDC_RESULT, -33, 0, -176},
};

// Outer size at the previous pass, and the panel it was for. The system
// repeats WM_SIZE at an unchanged size right after creation; that pass must
// not wipe a start-up verdict. A new panel always gets its first pass.
static SIZE s_lastLayoutSize;
static HWND s_lastLayoutPanel;

static void ShowNarrowWarning(HWND panel, int width)
{
    for (const NarrowWarning &warning : NARROW_WARNINGS) {
        if (width <= warning.widestBand) {
            SetDlgItemTextA(panel, IDC_FACE, warning.face);
            SetDlgItemTextA(panel, IDC_MESSAGE, warning.message);
            return;
        }
    }
}

static void ResizeControl(HWND panel, const ControlSize &control, int width, int height)
{
    int h = control.height != 0 ? control.height : height + control.heightOffset;
    if (h < 0)
        h = 0;
    SetWindowPos(GetDlgItem(panel, control.id), HWND_TOP, 0, 0,
                 width + control.widthOffset, h, SWP_NOMOVE);
}

void LayoutPanel(HWND panel, LPARAM)
{
    RECT frame = {};
    GetWindowRect(GetParent(panel), &frame);
    int width = frame.right - frame.left;
    int height = frame.bottom - frame.top;

    bool sizeChanged = panel != s_lastLayoutPanel || width != s_lastLayoutSize.cx ||
                       height != s_lastLayoutSize.cy;
    s_lastLayoutPanel = panel;
    s_lastLayoutSize.cx = width;
    s_lastLayoutSize.cy = height;
    if (sizeChanged) {
        SetDlgItemTextA(panel, IDC_FACE, NULL);
        SetDlgItemTextA(panel, IDC_MESSAGE, NULL);
        if (width < LAYOUT_MIN_WIDTH)
            ShowNarrowWarning(panel, width);
    }
    if (width < LAYOUT_MIN_WIDTH)
        width = LAYOUT_MIN_WIDTH;

    for (const ControlSize &control : LAYOUT_TABLE)
        ResizeControl(panel, control, width, height);
    SetWindowPos(g_toolbar, HWND_TOP, 0, 0, TOOLBAR_WIDTH, TOOLBAR_HEIGHT, SWP_NOMOVE);
}
