// End-to-end driver: starts the real tarnlight.exe as a process of its own,
// waits for it, reads and drives its panel across processes, answers its
// dialogs and ends it. Every wait has a time limit.
#ifndef TARNLIGHT_TEST_E2E_H
#define TARNLIGHT_TEST_E2E_H

#include <windows.h>

#include <string>
#include <vector>

enum { E2E_TIMEOUT_MS = 20000 };

// One started program. Filled by StartTarnlight; ended by EndTarnlight.
struct TarnlightProcess {
    PROCESS_INFORMATION info;
    HWND mainWindow;    // the top-level "Tarnlight" window
    HWND panel;         // its child dialog that holds the controls
};

// Windows names of the tarnlight.exe and tlcmp.exe that this build made.
std::string TarnlightExePath();
std::string TlcmpExePath();

// Quotes args as the runtime splits them and starts the program. folder is
// its working folder (NULL: the test's own); showCommand, when not -1, is
// handed over through STARTF_USESHOWWINDOW. Does not wait: see WaitUntilIdle.
bool StartTarnlight(TarnlightProcess *process, const std::vector<std::string> &args,
                    const char *folder = NULL, int showCommand = -1);

// Start and wait until idle in one step; false when either fails.
bool StartTarnlightIdle(TarnlightProcess *process, const std::vector<std::string> &args,
                        const char *folder = NULL, int showCommand = -1);

// True once the main window is visible, no comparison is running (progress
// bar hidden) and the program answers messages, twice in a row. A program
// that sits in a modal dialog also counts as idle.
bool WaitUntilIdle(TarnlightProcess *process, int timeoutMs = E2E_TIMEOUT_MS);

// True once the main window is shown and a comparison runs in it (progress
// bar shown). Looks at window state only: a run answers few messages.
bool WaitUntilComparing(TarnlightProcess *process, int timeoutMs = E2E_TIMEOUT_MS);

bool IsRunning(const TarnlightProcess *process);

// Texts of panel controls, as Shift-JIS bytes.
std::string ReadControl(const TarnlightProcess *process, int id);
// A window's text read with the wide calls: what the user sees, whatever
// the code page of either process.
std::wstring WideText(HWND window);
bool IsRemoteControlVisible(const TarnlightProcess *process, int id);

// Polls until the control holds exactly text; false on time-out.
bool WaitForControlText(const TarnlightProcess *process, int id, const std::string &text,
                        int timeoutMs = E2E_TIMEOUT_MS);

// Sends WM_COMMAND id to the main window, as a menu item does. Returns when
// the command has been handled (result NULL) or when it opened a dialog of
// the program (result: that dialog), whichever comes first. NULL on time-out
// too: check IsRunning and the screen state.
HWND RunCommand(TarnlightProcess *process, int id, int timeoutMs = E2E_TIMEOUT_MS);

// Posts WM_COMMAND id without waiting for anything.
void PostCommand(const TarnlightProcess *process, int id);

// Sends a message to the main window as another program would, and waits
// until it has been handled; false on time-out.
bool SendToMainWindow(const TarnlightProcess *process, UINT msg, WPARAM wParam, LPARAM lParam,
                      int timeoutMs = E2E_TIMEOUT_MS);

// Top-level dialogs and message boxes (#32770) of the program, visible ones.
std::vector<HWND> ProgramDialogs(const TarnlightProcess *process);
HWND WaitForDialog(const TarnlightProcess *process, int timeoutMs = E2E_TIMEOUT_MS);

std::string DialogCaption(HWND dialog);
// A message box's text, or the longest static text of another dialog.
std::string DialogText(HWND dialog);
std::wstring DialogTextWide(HWND dialog);     // message boxes only
std::string DialogItemText(HWND dialog, int id);
bool SetDialogItemText(HWND dialog, int id, const std::string &text);

// Clicks button id of the dialog and waits until the dialog is gone.
bool PressDialogButton(HWND dialog, int id, int timeoutMs = E2E_TIMEOUT_MS);

// Waits for the process to end; its exit code, or -1 on time-out.
int WaitForExit(TarnlightProcess *process, int timeoutMs = E2E_TIMEOUT_MS);

// Closes the main window as the close box does; the exit code, or -1 when
// the program did not end in time.
int CloseTarnlight(TarnlightProcess *process, int timeoutMs = E2E_TIMEOUT_MS);

// Runs a console program with args, its standard output and error caught
// as bytes; its exit code, or -1 when it did not start or end in time (it is
// then terminated).
int RunConsoleProgram(const std::string &exe, const std::vector<std::string> &args,
                      std::string *out, std::string *err, int timeoutMs = E2E_TIMEOUT_MS);

// The same with standard output into a pipe whose reader has already gone;
// only standard error is caught.
int RunConsoleProgramIntoClosedPipe(const std::string &exe, const std::vector<std::string> &args,
                                    std::string *err, int timeoutMs = E2E_TIMEOUT_MS);

// Runs a console program on a new console of this process, whose output
// code page is codePage, and returns the screen as the console holds it,
// one line per row without its trailing spaces.
std::wstring RunOnConsole(const std::string &exe, const std::vector<std::string> &args, UINT codePage,
                          int timeoutMs = E2E_TIMEOUT_MS);

// For TearDown: closes the program if it still runs, terminates it (only
// this process) if it will not end, and releases the handles.
void EndTarnlight(TarnlightProcess *process);

#endif
