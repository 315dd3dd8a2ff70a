// The main window: start-up, the message loop and the window procedure that
// hands every message to its owner, always passing the panel's window.
#include "app/app.h"

#include <commctrl.h>

#include "compare/compare.h"
#include "settings/settings.h"
#include "settings/settings_ui.h"

HINSTANCE g_instance;
HWND g_panel;
HWND g_toolbar;
int g_argc;
char **g_argv;

// True while a comparison runs. Its repaints let messages that other
// programs send reach the main window, and none of them may start a second
// run or destroy the panel under the first.
static bool s_comparing;

// A close that arrived during a run, carried out when the run has ended.
static bool s_closeAfterRun;

static const char MAIN_CLASS_NAME[] = "Tarnlight";
static const char MAIN_TITLE[] = "Tarnlight";

static void InitCommonControlClasses()
{
    INITCOMMONCONTROLSEX icc;
    icc.dwSize = sizeof icc;
    icc.dwICC = ICC_WIN95_CLASSES;
    InitCommonControlsEx(&icc);
}

bool RegisterMainWindowClass(HINSTANCE instance)
{
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.style = 0;
    wc.lpfnWndProc = MainWndProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_APP));
    wc.hIconSm = NULL;
    wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszMenuName = MAKEINTRESOURCEA(IDR_MENU);
    wc.lpszClassName = MAIN_CLASS_NAME;
    return LOWORD(RegisterClassExA(&wc)) != 0;
}

HWND CreateMainWindow(HINSTANCE instance)
{
    return CreateWindowExA(WS_EX_ACCEPTFILES, MAIN_CLASS_NAME, MAIN_TITLE, WS_OVERLAPPEDWINDOW,
                           CW_USEDEFAULT, CW_USEDEFAULT, MAIN_WIDTH, MAIN_HEIGHT,
                           NULL, NULL, instance, NULL);
}

int RunMessageLoop(HWND mainWindow, HACCEL accelerators)
{
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0)) {
        if (TranslateAcceleratorA(mainWindow, accelerators, &msg) == 0) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return static_cast<int>(msg.wParam);
}

int RunTarnlight(HINSTANCE instance, int showCommand)
{
    g_instance = instance;
    InitCommonControlClasses();
    if (!RegisterMainWindowClass(instance))
        return 0;
    HWND mainWindow = CreateMainWindow(instance);
    if (mainWindow == NULL)
        return 0;
    ShowWindow(mainWindow, showCommand);
    UpdateWindow(mainWindow);
    HACCEL accelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_ACCEL));
    return RunMessageLoop(mainWindow, accelerators);
}

static LRESULT MainWnd_OnCreate(HWND hwnd)
{
    LoadSettings();
    g_panel = CreatePanel(hwnd);
    g_toolbar = CreateToolbar(hwnd);
    // Visible before names are taken: a folder on the command line opens a dialog.
    ShowWindow(hwnd, SW_SHOW);
    ShowWindow(g_panel, SW_SHOW);
    TakeCommandLineNames(g_panel, g_argc, g_argv);
    if (g_settings.sudden != 0)
        RunGuardedComparison(g_panel);
    return 0;
}

static void MainWnd_OnDropFiles(HDROP drop)
{
    TakeDroppedFiles(g_panel, drop);
    if (g_settings.sudden != 0)
        RunGuardedComparison(g_panel);
    // Takes away any selection in the file 1 field, so a key typed after the
    // drop cannot replace a selected name.
    SendDlgItemMessageA(g_panel, IDC_FILE1, EM_SETSEL, static_cast<WPARAM>(-1), -1);
}

static void MainWnd_OnDestroy()
{
    SaveSettings();
    PostQuitMessage(0);
}

void RunGuardedComparison(HWND panel)
{
    s_comparing = true;
    RunComparison(panel);
    s_comparing = false;
    if (s_closeAfterRun) {
        s_closeAfterRun = false;
        PostMessageA(GetParent(panel), WM_CLOSE, 0, 0);
    }
}

static bool IsHeldBackDuringRun(UINT msg)
{
    return msg == WM_COMMAND || msg == WM_DROPFILES || msg == WM_CLOSE || msg == WM_DESTROY;
}

// The window takes no input during a run, so what gets here was sent by
// another program (or came through a box's own loop). Commands and drops are
// dropped. A close waits for the end of the run, as a click on the close box
// waits in the queue: the panel stays under the engine, and the settings are
// saved once, on the way out.
static LRESULT MainWnd_OnMessageDuringRun(UINT msg, WPARAM wParam)
{
    switch (msg) {
    case WM_DROPFILES:
        ReleaseDrop(reinterpret_cast<HDROP>(wParam));
        break;
    case WM_CLOSE:
    case WM_DESTROY:
        s_closeAfterRun = true;
        break;
    }
    return 0;
}

LRESULT CALLBACK MainWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (s_comparing && IsHeldBackDuringRun(msg))
        return MainWnd_OnMessageDuringRun(msg, wParam);
    switch (msg) {
    case WM_CREATE:    return MainWnd_OnCreate(hwnd);
    case WM_DESTROY:   MainWnd_OnDestroy(); return 0;
    case WM_SIZE:      LayoutPanel(g_panel, lParam); return 0;
    case WM_COMMAND:   return DispatchCommand(g_panel, msg, wParam, lParam) ? 1 : 0;
    case WM_DROPFILES: MainWnd_OnDropFiles(reinterpret_cast<HDROP>(wParam)); return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}
