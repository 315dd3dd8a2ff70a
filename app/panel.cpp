// The main panel: the child dialog that holds every control, and the shared
// file dialog record that the open, browse and save dialogs reuse.
#include "app/app.h"

#include <commctrl.h>

OPENFILENAMEA g_fileDialog;
char g_dialogFileName[NAME_SIZE];

// Label, pattern, and the empty string that ends the list. The space before
// the parenthesis is the start-up label's own; after the first save the
// dialogs show the save's label without it (save_result.cpp).
static const char STARTUP_FILTER[] = "全てのファイル (*.*)\0*.*\0";

enum { PANEL_TOP = 32 };   // below the toolbar

void SetupFileDialog(HWND owner, char *fileName)
{
    ZeroMemory(&g_fileDialog, sizeof g_fileDialog);
    g_fileDialog.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    g_fileDialog.hwndOwner = owner;
    g_fileDialog.hInstance = NULL;
    g_fileDialog.lpstrFilter = STARTUP_FILTER;
    g_fileDialog.nFilterIndex = 1;
    g_fileDialog.lpstrFile = fileName;
    g_fileDialog.nMaxFile = NAME_SIZE;
    g_fileDialog.lpstrInitialDir = NULL;
    g_fileDialog.lpstrTitle = NULL;
    g_fileDialog.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_EXPLORER;
    g_fileDialog.lpstrDefExt = "txt";
}

void ResetResultControls(HWND panel)
{
    SetDlgItemTextA(panel, IDC_RESULT, "");
    SetDlgItemTextA(panel, IDC_FACE, RESTING_FACE);
    SetDlgItemTextA(panel, IDC_MESSAGE, "");
}

void SetupProgressBar(HWND panel)
{
    HWND bar = GetDlgItem(panel, IDC_PROGRESS);
    ShowWindow(bar, SW_HIDE);
    SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    SendMessageA(bar, PBM_SETSTEP, 1, 0);
}

static void Panel_OnInitDialog(HWND panel)
{
    SetupFileDialog(panel, g_dialogFileName);
    SetWindowPos(panel, HWND_TOP, 0, PANEL_TOP, 0, 0, SWP_NOSIZE);
    SetupProgressBar(panel);
}

// Handles only its own initialisation; returning FALSE lets the dialog
// manager leave the focus alone and handle everything else.
static INT_PTR CALLBACK PanelDlgProc(HWND panel, UINT msg, WPARAM, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG: Panel_OnInitDialog(panel); return FALSE;
    }
    return FALSE;
}

HWND CreatePanel(HWND mainWindow)
{
    // GetWindowLongPtrA is GetWindowLongA(GWL_HINSTANCE) in the 32-bit build.
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(mainWindow, GWLP_HINSTANCE));
    return CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_PANEL), mainWindow, PanelDlgProc, 0);
}
