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
        StartComparison(g_panel);
    return 0;
}

static void MainWnd_OnDropFiles(HDROP drop)
{
    TakeDroppedFiles(g_panel, drop);
    if (g_settings.sudden != 0)
        StartComparison(g_panel);
    // Takes away any selection in the file 1 field, so a key typed after the
    // drop cannot replace a selected name.
    SendDlgItemMessageA(g_panel, IDC_FILE1, EM_SETSEL, static_cast<WPARAM>(-1), -1);
}

static void MainWnd_OnDestroy()
{
    SaveSettings();
    PostQuitMessage(0);
}

// What a run held back is carried out once the message that started the run
// has been handled whole, as if it had waited in the queue.
LRESULT CALLBACK MainWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (HoldMessageDuringRun(msg, wParam, lParam))
        return 0;
    LRESULT result = 0;
    switch (msg) {
    case WM_CREATE:    result = MainWnd_OnCreate(hwnd); break;
    case WM_DESTROY:   MainWnd_OnDestroy(); break;
    case WM_SIZE:      LayoutPanel(g_panel, lParam); break;
    case WM_COMMAND:   result = DispatchCommand(g_panel, msg, wParam, lParam) ? 1 : 0; break;
    case WM_DROPFILES: MainWnd_OnDropFiles(reinterpret_cast<HDROP>(wParam)); break;
    default:           return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    CarryOutHeldMessages(g_panel);
    return result;
}
