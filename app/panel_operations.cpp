// The panel operations that the comparison calls, done with Win32: texts,
// focus and the error box (the run's bar and thread are in comparison_run.cpp).
#include "app/app.h"

#include <type_traits>

#include "compare/panel.h"

static_assert(std::is_same<PanelWindow, HWND>::value, "the seam passes HWND unchanged");

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
    SendMessageA(PanelControl(panel, ControlOf(field)), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

void FocusPanelControl(PanelWindow panel, PanelField field)
{
    SetFocus(GetDlgItem(panel, ControlOf(field)));
}

void ShowErrorBox(PanelWindow panel, const char *text)
{
    MessageBoxA(panel, text, "エラー", MB_OK | MB_ICONWARNING);
}
