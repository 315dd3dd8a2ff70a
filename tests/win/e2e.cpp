// End-to-end driver (see e2e.h). Everything here reaches the other process
// through window messages with time limits, so a hung program fails a test
// instead of hanging it; only the process started here is ever terminated.
#include "e2e.h"
#include "harness.h"

#include <algorithm>
#include <cstdlib>

#ifndef TARNLIGHT_EXE
#error "TARNLIGHT_EXE must name the built tarnlight.exe"
#endif
#ifndef TLCMP_EXE
#error "TLCMP_EXE must name the built tlcmp.exe"
#endif

namespace {

const char MAIN_CLASS[] = "Tarnlight";
const char DIALOG_CLASS[] = "#32770";

enum {
    POLL_MS = 10,
    ANSWER_MS = 2000,           // one SendMessageTimeout; waits loop around it
    TEXT_LIMIT = 65536,
    MESSAGE_BOX_TEXT = 0xffff,
    PROGRESS_BAR = 1007,        // hidden except while a comparison runs
    IDLE_ANSWERS = 2,
    END_GRACE_MS = 5000
};

ULONG_PTR g_commandsIssued;
ULONG_PTR g_commandsHandled;

struct WindowSearch {
    DWORD processId;
    const char *className;
    std::vector<HWND> found;
};

std::string ClassOf(HWND window)
{
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

BOOL CALLBACK CollectProcessWindow(HWND window, LPARAM data)
{
    WindowSearch *search = reinterpret_cast<WindowSearch *>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && ClassOf(window) == search->className)
        search->found.push_back(window);
    return TRUE;
}

std::vector<HWND> TopLevelWindows(DWORD processId, const char *className)
{
    WindowSearch search = {processId, className, {}};
    EnumWindows(CollectProcessWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

DWORD Elapsed(DWORD start)
{
    return GetTickCount() - start;
}

int Remaining(DWORD start, int timeoutMs)
{
    DWORD used = Elapsed(start);
    return used >= static_cast<DWORD>(timeoutMs) ? 0 : timeoutMs - static_cast<int>(used);
}

// Replies to our own sends (SendMessageCallback) arrive as messages here.
void PumpOwnMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
}

bool Answers(HWND window, int timeoutMs)
{
    DWORD_PTR result = 0;
    UINT limit = static_cast<UINT>(std::min<int>(std::max(timeoutMs, 1), ANSWER_MS));
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, limit, &result) != 0;
}

std::string RemoteText(HWND window)
{
    if (window == NULL)
        return "";
    std::vector<char> text(TEXT_LIMIT, '\0');
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_NORMAL, E2E_TIMEOUT_MS, &length))
        return "";
    text.back() = '\0';
    return text.data();
}

bool SetRemoteText(HWND window, const std::string &text)
{
    DWORD_PTR result = 0;
    return window != NULL &&
           SendMessageTimeoutA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                               SMTO_NORMAL, E2E_TIMEOUT_MS, &result) != 0 &&
           result != 0;
}

BOOL CALLBACK FindLongestStatic(HWND child, LPARAM data)
{
    std::string *longest = reinterpret_cast<std::string *>(data);
    if (ClassOf(child) == "Static") {
        std::string text = RemoteText(child);
        if (text.size() > longest->size())
            *longest = text;
    }
    return TRUE;
}

void CALLBACK CommandHandled(HWND, UINT, ULONG_PTR number, LRESULT)
{
    g_commandsHandled = std::max(g_commandsHandled, number);
}

// Backslashes count double only before a quote; a Shift-JIS trail byte
// 0x5C is part of its character, not a backslash.
std::string QuoteArgument(const std::string &arg)
{
    std::string quoted = "\"";
    size_t backslashes = 0;
    for (size_t i = 0; i < arg.size(); ++i) {
        char c = arg[i];
        if (IsDBCSLeadByte(static_cast<BYTE>(c)) && i + 1 < arg.size()) {
            quoted.append(backslashes, '\\');
            quoted += c;
            quoted += arg[++i];
            backslashes = 0;
        } else if (c == '\\') {
            ++backslashes;
        } else if (c == '"') {
            quoted.append(backslashes * 2 + 1, '\\');
            quoted += c;
            backslashes = 0;
        } else {
            quoted.append(backslashes, '\\');
            quoted += c;
            backslashes = 0;
        }
    }
    quoted.append(backslashes * 2, '\\');
    quoted += '"';
    return quoted;
}

HWND FindPanel(HWND mainWindow)
{
    return FindWindowExA(mainWindow, NULL, DIALOG_CLASS, NULL);
}

bool ProgressBarShown(const TarnlightProcess *process)
{
    return IsWindowVisible(GetDlgItem(process->panel, PROGRESS_BAR)) != FALSE;
}

// True when the visible main window and its panel are known.
bool FindProgramWindows(TarnlightProcess *process)
{
    if (process->mainWindow == NULL || !IsWindow(process->mainWindow)) {
        std::vector<HWND> windows = TopLevelWindows(process->info.dwProcessId, MAIN_CLASS);
        process->mainWindow = windows.empty() ? NULL : windows.front();
    }
    if (process->mainWindow == NULL || !IsWindowVisible(process->mainWindow))
        return false;
    if (process->panel == NULL || !IsWindow(process->panel))
        process->panel = FindPanel(process->mainWindow);
    return process->panel != NULL;
}

// Visible, not comparing, and answering; the progress bar is looked at on
// both sides of the answer so that a reply from inside a run does not count.
bool LooksIdle(TarnlightProcess *process, int timeoutMs)
{
    if (!FindProgramWindows(process) || ProgressBarShown(process))
        return false;
    return Answers(process->mainWindow, timeoutMs) && !ProgressBarShown(process);
}

std::string WindowsPathOf(const std::string &builtPath)
{
    std::string path = builtPath;
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;     // Wine's drive for the Unix root
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

// The program of this build, or the one of that name in the folder that
// TARNLIGHT_FOLDER_UNDER_TEST names (the unpacked release).
std::string ProgramUnderTest(const char *builtPath, const char *fileName)
{
    const char *folder = std::getenv("TARNLIGHT_FOLDER_UNDER_TEST");
    return WindowsPathOf(folder ? std::string(folder) + "/" + fileName : std::string(builtPath));
}

} // namespace

std::string TarnlightExePath()
{
    return ProgramUnderTest(TARNLIGHT_EXE, "tarnlight.exe");
}

std::string TlcmpExePath()
{
    return ProgramUnderTest(TLCMP_EXE, "tlcmp.exe");
}

bool StartTarnlight(TarnlightProcess *process, const std::vector<std::string> &args,
                    const char *folder, int showCommand)
{
    ZeroMemory(process, sizeof *process);
    std::string exe = TarnlightExePath();
    std::string line = QuoteArgument(exe);
    for (const std::string &arg : args)
        line += " " + QuoteArgument(arg);
    std::vector<char> commandLine(line.begin(), line.end());
    commandLine.push_back('\0');

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (showCommand != -1) {
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = static_cast<WORD>(showCommand);
    }
    const BOOL inheritNoHandles = FALSE;
    return CreateProcessA(exe.c_str(), commandLine.data(), NULL, NULL, inheritNoHandles, 0, NULL,
                          folder, &startup, &process->info) != FALSE;
}

bool StartTarnlightIdle(TarnlightProcess *process, const std::vector<std::string> &args,
                        const char *folder, int showCommand)
{
    return StartTarnlight(process, args, folder, showCommand) && WaitUntilIdle(process);
}

bool IsRunning(const TarnlightProcess *process)
{
    return process->info.hProcess != NULL &&
           WaitForSingleObject(process->info.hProcess, 0) == WAIT_TIMEOUT;
}

bool WaitUntilIdle(TarnlightProcess *process, int timeoutMs)
{
    DWORD start = GetTickCount();
    // Under Wine this may return before start-up is over; the loop decides.
    WaitForInputIdle(process->info.hProcess, static_cast<DWORD>(timeoutMs));
    int answers = 0;
    while (Remaining(start, timeoutMs) > 0 && IsRunning(process)) {
        answers = LooksIdle(process, Remaining(start, timeoutMs)) ? answers + 1 : 0;
        if (answers >= IDLE_ANSWERS)
            return true;
        PumpOwnMessages();
        Sleep(POLL_MS);
    }
    return false;
}

bool WaitUntilComparing(TarnlightProcess *process, int timeoutMs)
{
    DWORD start = GetTickCount();
    do {
        if (FindProgramWindows(process) && ProgressBarShown(process))
            return true;
        Sleep(POLL_MS);
    } while (Remaining(start, timeoutMs) > 0 && IsRunning(process));
    return false;
}

bool SendToMainWindow(const TarnlightProcess *process, UINT msg, WPARAM wParam, LPARAM lParam, int timeoutMs)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(process->mainWindow, msg, wParam, lParam, SMTO_NORMAL,
                               static_cast<UINT>(timeoutMs), &result) != 0;
}

std::string ReadControl(const TarnlightProcess *process, int id)
{
    return RemoteText(GetDlgItem(process->panel, id));
}

std::wstring WideText(HWND window)
{
    if (window == NULL)
        return L"";
    std::vector<wchar_t> text(TEXT_LIMIT, L'\0');
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_NORMAL, E2E_TIMEOUT_MS, &length))
        return L"";
    text.back() = L'\0';
    return text.data();
}


bool IsRemoteControlVisible(const TarnlightProcess *process, int id)
{
    return IsWindowVisible(GetDlgItem(process->panel, id)) != FALSE;
}

bool WaitForControlText(const TarnlightProcess *process, int id, const std::string &text, int timeoutMs)
{
    DWORD start = GetTickCount();
    do {
        if (ReadControl(process, id) == text)
            return true;
        Sleep(POLL_MS);
    } while (Remaining(start, timeoutMs) > 0 && IsRunning(process));
    return false;
}

HWND RunCommand(TarnlightProcess *process, int id, int timeoutMs)
{
    std::vector<HWND> before = ProgramDialogs(process);
    ULONG_PTR number = ++g_commandsIssued;
    if (!SendMessageCallbackA(process->mainWindow, WM_COMMAND, MAKEWPARAM(id, 0), 0,
                              CommandHandled, number))
        return NULL;
    DWORD start = GetTickCount();
    while (Remaining(start, timeoutMs) > 0 && IsRunning(process)) {
        PumpOwnMessages();
        if (g_commandsHandled >= number)
            return NULL;
        for (HWND dialog : ProgramDialogs(process)) {
            if (std::find(before.begin(), before.end(), dialog) == before.end())
                return dialog;
        }
        Sleep(POLL_MS);
    }
    return NULL;
}

void PostCommand(const TarnlightProcess *process, int id)
{
    PostMessageA(process->mainWindow, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

std::vector<HWND> ProgramDialogs(const TarnlightProcess *process)
{
    std::vector<HWND> visible;
    for (HWND dialog : TopLevelWindows(process->info.dwProcessId, DIALOG_CLASS)) {
        if (IsWindowVisible(dialog))
            visible.push_back(dialog);
    }
    return visible;
}

HWND WaitForDialog(const TarnlightProcess *process, int timeoutMs)
{
    DWORD start = GetTickCount();
    do {
        std::vector<HWND> dialogs = ProgramDialogs(process);
        if (!dialogs.empty())
            return dialogs.front();
        Sleep(POLL_MS);
    } while (Remaining(start, timeoutMs) > 0 && IsRunning(process));
    return NULL;
}

std::string DialogCaption(HWND dialog)
{
    return RemoteText(dialog);
}

std::string DialogText(HWND dialog)
{
    HWND text = GetDlgItem(dialog, MESSAGE_BOX_TEXT);
    if (text != NULL)
        return RemoteText(text);
    std::string longest;
    EnumChildWindows(dialog, FindLongestStatic, reinterpret_cast<LPARAM>(&longest));
    return longest;
}

std::wstring DialogTextWide(HWND dialog)
{
    return WideText(GetDlgItem(dialog, MESSAGE_BOX_TEXT));
}

std::string DialogItemText(HWND dialog, int id)
{
    return RemoteText(GetDlgItem(dialog, id));
}

bool SetDialogItemText(HWND dialog, int id, const std::string &text)
{
    return SetRemoteText(GetDlgItem(dialog, id), text);
}

bool PressDialogButton(HWND dialog, int id, int timeoutMs)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    DWORD start = GetTickCount();
    while (IsWindow(dialog)) {
        if (Remaining(start, timeoutMs) == 0)
            return false;
        Sleep(POLL_MS);
    }
    return true;
}

int WaitForExit(TarnlightProcess *process, int timeoutMs)
{
    if (process->info.hProcess == NULL ||
        WaitForSingleObject(process->info.hProcess, static_cast<DWORD>(timeoutMs)) != WAIT_OBJECT_0)
        return -1;
    DWORD code = 0;
    GetExitCodeProcess(process->info.hProcess, &code);
    return static_cast<int>(code);
}

int CloseTarnlight(TarnlightProcess *process, int timeoutMs)
{
    PostMessageA(process->mainWindow, WM_CLOSE, 0, 0);
    return WaitForExit(process, timeoutMs);
}

void EndTarnlight(TarnlightProcess *process)
{
    if (process->info.hProcess == NULL)
        return;
    if (IsRunning(process) && process->mainWindow != NULL)
        CloseTarnlight(process, END_GRACE_MS);
    if (IsRunning(process)) {
        const UINT killedCode = 99;
        TerminateProcess(process->info.hProcess, killedCode);
        WaitForSingleObject(process->info.hProcess, END_GRACE_MS);
    }
    CloseHandle(process->info.hThread);
    CloseHandle(process->info.hProcess);
    ZeroMemory(process, sizeof *process);
}

namespace {

HANDLE CreateInheritableFile(const char *path)
{
    SECURITY_ATTRIBUTES inherited = {sizeof inherited, NULL, TRUE};
    return CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, &inherited, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, NULL);
}

std::string TakeFileBytes(const char *path)
{
    std::string bytes = FileBytes(path);
    DeleteFileA(path);
    return bytes;
}

// The program and its arguments as one command line, quoted for the runtime.
std::vector<char> CommandLineFor(const std::string &exe, const std::vector<std::string> &args)
{
    std::string line = QuoteArgument(exe);
    for (const std::string &arg : args)
        line += " " + QuoteArgument(arg);
    std::vector<char> commandLine(line.begin(), line.end());
    commandLine.push_back('\0');
    return commandLine;
}

// Starts the program with the standard handles of startup, which it
// inherits, and waits for its end; its exit code, or -1 as RunConsoleProgram.
int RunWithHandles(std::vector<char> commandLine, STARTUPINFOA *startup, int timeoutMs)
{
    startup->cb = sizeof *startup;
    startup->dwFlags = STARTF_USESTDHANDLES;
    PROCESS_INFORMATION info = {};
    const BOOL inheritHandles = TRUE;
    if (!CreateProcessA(NULL, commandLine.data(), NULL, NULL, inheritHandles, 0, NULL, NULL, startup, &info))
        return -1;
    int code = -1;
    DWORD exitCode = 0;
    if (WaitForSingleObject(info.hProcess, static_cast<DWORD>(timeoutMs)) == WAIT_OBJECT_0 &&
        GetExitCodeProcess(info.hProcess, &exitCode))
        code = static_cast<int>(exitCode);
    else
        TerminateProcess(info.hProcess, 99);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return code;
}

// Every row of the screen buffer, its trailing spaces cut.
std::wstring ScreenText(HANDLE screen)
{
    CONSOLE_SCREEN_BUFFER_INFO buffer;
    if (!GetConsoleScreenBufferInfo(screen, &buffer))
        return L"<no screen buffer>";
    std::vector<wchar_t> row(buffer.dwSize.X);
    std::wstring text;
    for (SHORT y = 0; y < buffer.dwSize.Y; ++y) {
        DWORD read = 0;
        COORD start = {0, y};
        ReadConsoleOutputCharacterW(screen, row.data(), buffer.dwSize.X, start, &read);
        std::wstring line(row.data(), read);
        line.erase(line.find_last_not_of(L' ') + 1);
        text += line + L"\n";
    }
    return text;
}

} // namespace

// Runs exe with its standard output into out; its standard error caught.
static int RunWithOutputInto(HANDLE out, const std::string &exe, const std::vector<std::string> &args,
                             std::string *err, int timeoutMs)
{
    char folder[MAX_PATH], errPath[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    GetTempFileNameA(folder, "err", 0, errPath);
    HANDLE errFile = CreateInheritableFile(errPath);
    STARTUPINFOA startup = {};
    startup.hStdOutput = out;
    startup.hStdError = errFile;
    int code = RunWithHandles(CommandLineFor(exe, args), &startup, timeoutMs);
    CloseHandle(errFile);
    *err = TakeFileBytes(errPath);
    return code;
}

int RunConsoleProgram(const std::string &exe, const std::vector<std::string> &args,
                      std::string *out, std::string *err, int timeoutMs)
{
    char folder[MAX_PATH], outPath[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    GetTempFileNameA(folder, "out", 0, outPath);
    HANDLE outFile = CreateInheritableFile(outPath);
    int code = RunWithOutputInto(outFile, exe, args, err, timeoutMs);
    CloseHandle(outFile);
    *out = TakeFileBytes(outPath);
    return code;
}

int RunConsoleProgramIntoClosedPipe(const std::string &exe, const std::vector<std::string> &args,
                                    std::string *err, int timeoutMs)
{
    SECURITY_ATTRIBUTES inherited = {sizeof inherited, NULL, TRUE};
    HANDLE readEnd = NULL, writeEnd = NULL;
    if (!CreatePipe(&readEnd, &writeEnd, &inherited, 0))
        return -1;
    CloseHandle(readEnd);
    int code = RunWithOutputInto(writeEnd, exe, args, err, timeoutMs);
    CloseHandle(writeEnd);
    return code;
}

std::wstring RunOnConsole(const std::string &exe, const std::vector<std::string> &args, UINT codePage,
                          int timeoutMs)
{
    FreeConsole();
    if (!AllocConsole())
        return L"<no console>";
    SetConsoleOutputCP(codePage);
    SECURITY_ATTRIBUTES inherited = {sizeof inherited, NULL, TRUE};
    HANDLE screen = CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                &inherited, OPEN_EXISTING, 0, NULL);
    STARTUPINFOA startup = {};
    startup.hStdOutput = screen;
    startup.hStdError = screen;
    std::wstring shown = L"<not started>";
    if (RunWithHandles(CommandLineFor(exe, args), &startup, timeoutMs) != -1)
        shown = ScreenText(screen);
    CloseHandle(screen);
    FreeConsole();
    return shown;
}
