// The application shell: the main window, its panel of controls, and the
// hand-offs between them. Program-wide state of the shell lives here.
#ifndef TARNLIGHT_APP_H
#define TARNLIGHT_APP_H

#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>

#include "compare/compare.h"
#include "res/resource.h"

// The main window's size at creation; narrower than this, the layout warns.
enum { MAIN_WIDTH = 420, MAIN_HEIGHT = 290 };

extern HINSTANCE g_instance;
extern HWND g_panel;
extern HWND g_toolbar;

// The one open/save dialog record, shared by every file dialog, and the
// file-name buffer it points to.
extern OPENFILENAMEA g_fileDialog;
extern char g_dialogFileName[NAME_SIZE];

// The process's arguments as the runtime split them; argument 0 is the program.
extern int g_argc;
extern char **g_argv;

// Start-up and the message loop; returns the exit code.
int RunTarnlight(HINSTANCE instance, int showCommand);
bool RegisterMainWindowClass(HINSTANCE instance);
HWND CreateMainWindow(HINSTANCE instance);
int RunMessageLoop(HWND mainWindow, HACCEL accelerators);
LRESULT CALLBACK MainWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// A comparison run (comparison_run.cpp). Every comparison of the shell
// starts here, one at a time.
void StartComparison(HWND panel);
// Called first for every message of the main window; true when the message
// was held for the end of a run.
bool HoldMessageDuringRun(UINT msg, WPARAM wParam, LPARAM lParam);
// Called after every message the main window handled: carries out the
// commands and drops held during a run, in the order they came, then a held
// close. Does nothing while a run goes.
void CarryOutHeldMessages(HWND panel);
// True for a drop that was held over a run and is now carried out: a copy
// of our own, whoever sent the original.
bool IsHeldDropOfOurOwn(HDROP drop);
// A control of the panel; the bar and the face of a running comparison
// without asking the system.
HWND PanelControl(HWND panel, int id);

// The panel
HWND CreatePanel(HWND mainWindow);
void SetupFileDialog(HWND owner, char *fileName);
void SetupProgressBar(HWND panel);
void LayoutPanel(HWND panel, LPARAM ignored);
// Empties the result field and the message line and shows the resting face.
void ResetResultControls(HWND panel);

// Save result: the save dialog, then the report file or the error box.
void SaveResult(HWND panel);

// Commands (menu, accelerators, toolbar); returns 1 only for Exit.
int DispatchCommand(HWND panel, UINT msg, WPARAM wParam, LPARAM lParam);

// File names from the command line and from the shell's drag and drop.
void TakeCommandLineNames(HWND panel, int argc, char **argv);
// Takes the first two names of a drop, then releases the drop.
void TakeDroppedFiles(HWND panel, HDROP drop);
// The one place that decides whether the drop's handle is ours to free.
void ReleaseDrop(HDROP drop);

#endif
