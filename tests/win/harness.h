// Helpers for the tests under Wine: the real main window made in-process,
// message pumping, control texts, and answers to modal dialogs from inside.
#ifndef TARNLIGHT_TEST_HARNESS_H
#define TARNLIGHT_TEST_HARNESS_H

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/app.h"

// Creates the main window as the program does (class, window, show) without
// entering the loop. Argument 0 of args stands for the program.
HWND StartMainWindow(const std::vector<std::string> &args = {});

// Destroys the main window and takes the quit message it posted.
// Returns the quit code, or -1 when none was posted.
int CloseMainWindow(HWND mainWindow);

// Dispatches what is queued (with the accelerator table, as the program's
// loop does) until the queue stays empty.
void PumpMessages();

// Runs the message loop until a quit message, with a time limit.
// Returns the quit code, or -1 on time-out.
int RunLoopUntilQuit(HWND mainWindow, int timeoutMs);

std::string ControlText(HWND panel, int id);
std::string WindowText(HWND window);
bool IsControlVisible(HWND panel, int id);

// Characters in a Shift-JIS text, as an edit control counts its positions.
int CharacterCount(const std::string &shiftJis);

// Bytes of a text as hex pairs, for readable failures.
std::string HexBytes(const std::string &text);

// Modal dialogs and message boxes are answered by handlers, one per dialog
// in the order they appear, called from inside the dialog's own loop.
typedef std::function<void(HWND dialog)> DialogHandler;

struct SeenDialog {
    std::string caption;
    std::string text;          // message box text, or the file-name field
    std::string folder;        // file dialogs: the folder shown
    std::string filterLabel;   // file dialogs: the file-type field
};

void ExpectDialogs(const std::vector<DialogHandler> &handlers);
std::vector<SeenDialog> SeenDialogs();
int UnansweredDialogs();

// Common answers.
DialogHandler PressButton(int id);                           // message boxes: IDOK ...
DialogHandler ChooseFile(const std::string &fullName);       // file dialogs: type and confirm
DialogHandler CancelDialog();

// The registry key of the program is removed before and after each test
// that uses this fixture, so the test starts as on a first run.
void RemoveTarnlightRegistry();

// A file in a temporary folder of the test, with the given bytes.
std::string MakeTempFile(const std::string &name, const std::string &bytes);
std::string TempFolder();

// One REG_DWORD value under HKCU\Software\Corvale Tools\Tarnlight, for tests
// that start the program with stored settings (RemoveTarnlightRegistry undoes it).
void StoreSetting(const char *name, DWORD value);
// The stored value, or -1 when it is missing.
long long StoredSetting(const char *name);

// Whether the key below HKEY_CURRENT_USER exists.
bool KeyExists(const char *path);

// The bytes of a file, or "<missing>" when it cannot be opened.
std::string FileBytes(const std::string &path);
// Opened without sharing, so that any other open is refused as access denied.
HANDLE HoldWithoutSharing(const std::string &path);
std::string MakeTempFolder(const std::string &name);
// The names in folder (ending in '\\'), "." and ".." left out.
std::set<std::string> NamesIn(const std::string &folder);

// Links and FIFOs of the Unix side, made by its ln and mkfifo (Wine runs
// Unix programs; its CreateSymbolicLinkA says it made a link and makes
// none). target is relative to the link's folder, with '/' in it.
bool MakeSymbolicLink(const std::string &path, const std::string &target);
bool MakeUnixFifo(const std::string &path);

// A file of size bytes that the file system stores sparsely: zero bytes, with
// an 'x' at each offset given. Reading it costs almost nothing but time.
std::string MakeSparseFile(const std::string &name, LONGLONG size, const std::vector<LONGLONG> &xAt = {});

// Full names around the 255-byte limit of the program's name buffers, in a
// deep test folder of their own: a file of exactly 255 bytes (holding
// content); a folder of 256 bytes whose last character, "表" (95 5C), has its
// lead byte at the limit; and a 300-byte name whose first 255 bytes are the
// file's name, so that a name cut there would open that file.
struct LimitNames {
    std::string file255, folder256, name300;
};
LimitNames MakeLimitNames(const std::string &content);

// Every value under a key below HKEY_CURRENT_USER, with its type and bytes.
struct RegistryValue {
    DWORD type;
    std::string bytes;
};
std::map<std::string, RegistryValue> RegistryValues(const char *path);
void PutRegistryValue(const char *path, const char *name, DWORD type, const std::string &bytes);

// An extended dialog template read back from this module's resources; texts
// as Shift-JIS bytes, standard classes by name in capitals.
struct TemplateControl {
    int id;
    std::string className;
    DWORD style, exStyle;
    short x, y, cx, cy;
    std::string text;
};
struct DialogTemplate {
    DWORD style, exStyle;
    short x, y, cx, cy;
    std::string menu, windowClass, caption;
    WORD pointSize, weight;
    BYTE italic, charset;
    std::string fontName;
    std::vector<TemplateControl> controls;
};
// False when the resource is missing in that language or not extended.
bool ReadDialogTemplate(const char *name, WORD language, DialogTemplate *result);
// Every field of every control, in order, with the texts compared as bytes.
void ExpectTemplateControls(const DialogTemplate &got, const std::vector<TemplateControl> &expected);

// A drop as the shell delivers it: a DROPFILES block in global memory
// followed by a list of names ended by an empty one, in ANSI or, as the
// shell of NT gives them, in UTF-16. Whoever handles it frees it.
HDROP MakeDrop(const std::vector<std::string> &names, bool wide = false);

// The real main window made for each test, from and back to an empty
// program registry.
struct MainWindowFixture : ::testing::Test {
    HWND mainWindow = NULL;
    void SetUp() override { RemoveTarnlightRegistry(); mainWindow = StartMainWindow(); }
    void TearDown() override { CloseMainWindow(mainWindow); RemoveTarnlightRegistry(); }
};

#endif
