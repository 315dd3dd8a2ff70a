// The command dispatcher: every menu item, accelerator and toolbar button
// arrives here as WM_COMMAND and is handed to one small procedure.
#include "app/app.h"

#include <cstdio>

#include "compare/compare.h"
#include "settings/settings.h"
#include "settings/settings_ui.h"

static const char PROGRAM_NAME[] = "Tarnlight";
static const char PROGRAM_VERSION[] = TARNLIGHT_VERSION;   // from the project's version
static const char ABOUT_NOTICE[] = "2つのファイルをバイト単位で比較します。";
static const char HELP_TEXT[] = "使い方はreadme.txtにありますので、そちらを読んでください。";
static const char HELP_CAPTION[] = "Tarnlightのヘルプ";
static const char EMPTY_TEXT[] = "";

enum { ABOUT_TEXT_SIZE = 32 };

// The chosen name goes straight into its field; a cancelled dialog still
// compares when auto-compare is on, so the user sees the current pair judged.
static void Cmd_OpenFile(HWND panel, int fieldId)
{
    if (GetOpenFileNameA(&g_fileDialog)) {
        SetDlgItemTextA(panel, fieldId, g_dialogFileName);
        ResetResultControls(panel);
    }
    if (g_settings.sudden != 0)
        StartComparison(panel);
}

static void Cmd_SaveResult(HWND panel)
{
    SaveResult(panel);
}

// Edit commands act on whatever has the focus, whatever its kind.
static void Cmd_SendToFocus(HWND focus, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (focus != NULL)
        SendMessageA(focus, message, wParam, lParam);
}

// Only the controls are emptied: the last run's results stay for the save.
static void Cmd_Clear(HWND panel)
{
    SetDlgItemTextA(panel, IDC_FILE1, EMPTY_TEXT);
    SetDlgItemTextA(panel, IDC_FILE2, EMPTY_TEXT);
    ResetResultControls(panel);
}

static void Cmd_Compare(HWND panel)
{
    StartComparison(panel);
}

static void Cmd_Options(HWND mainWindow)
{
    ShowOptionsSheet(mainWindow);
}

static void Cmd_Help(HWND mainWindow)
{
    MessageBoxA(mainWindow, HELP_TEXT, HELP_CAPTION, MB_OK);
}

// The shell shows the text before '#' as the title, the rest as the first line.
static void Cmd_About(HWND mainWindow)
{
    HICON icon = LoadIconA(g_instance, MAKEINTRESOURCEA(IDI_APP));
    char aboutText[ABOUT_TEXT_SIZE];
    snprintf(aboutText, sizeof aboutText, "%s#%s %s", PROGRAM_NAME, PROGRAM_NAME, PROGRAM_VERSION);
    ShellAboutA(mainWindow, aboutText, ABOUT_NOTICE, icon);
}

// The window is left standing: the loop ends on the quit message, and
// destroying it would save the settings a second time.
static int Cmd_Exit()
{
    SaveSettings();
    PostQuitMessage(0);
    return 1;
}

int DispatchCommand(HWND panel, UINT, WPARAM wParam, LPARAM)
{
    HWND mainWindow = GetParent(panel);
    HWND focus = GetFocus();
    const LPARAM WHOLE_TEXT = -1;
    switch (LOWORD(wParam)) {
    case IDM_OPEN1:
    case IDT_OPEN1:     Cmd_OpenFile(panel, IDC_FILE1); break;
    case IDM_OPEN2:
    case IDT_OPEN2:     Cmd_OpenFile(panel, IDC_FILE2); break;
    case IDM_SAVE:
    case IDT_SAVE:      Cmd_SaveResult(panel); break;
    case IDM_EXIT:      return Cmd_Exit();
    case IDM_UNDO:
    case IDT_UNDO:      Cmd_SendToFocus(focus, WM_UNDO, 0, 0); break;
    case IDM_CUT:
    case IDT_CUT:       Cmd_SendToFocus(focus, WM_CUT, 0, 0); break;
    case IDM_COPY:
    case IDT_COPY:      Cmd_SendToFocus(focus, WM_COPY, 0, 0); break;
    case IDM_PASTE:
    case IDT_PASTE:     Cmd_SendToFocus(focus, WM_PASTE, 0, 0); break;
    case IDM_SELECTALL: Cmd_SendToFocus(focus, EM_SETSEL, 0, WHOLE_TEXT); break;
    case IDM_COMPARE:
    case IDT_COMPARE:   Cmd_Compare(panel); break;
    case IDM_CLEAR:
    case IDT_CLEAR:     Cmd_Clear(panel); break;
    case IDM_OPTIONS:
    case IDT_OPTIONS:   Cmd_Options(mainWindow); break;
    case IDM_HELP:
    case IDT_HELP:      Cmd_Help(mainWindow); break;
    case IDM_ABOUT:     Cmd_About(mainWindow); break;
    }
    return 0;
}
