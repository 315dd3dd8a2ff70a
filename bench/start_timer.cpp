// Times one start of the real program with two names, under Wine, until its
// message line shows a verdict and it waits for input: from the process start,
// and from its main window's showing, which leaves out the varying time Wine
// takes to start a process. Prints both seconds and the verdict (Shift-JIS),
// then closes it.
#include <windows.h>

#include <cstdio>

#include "bench/main_window.h"

enum {
    POLL_MS = 1,
    // The program has at least its verdict to show after it hides its bar,
    // so polling less often meanwhile does not move the end of the timing.
    BAR_POLL_MS = 5,
    GIVE_UP_MS = 300000,
    TEXT_SIZE = 256
};

static HWND FindMessageLine(HWND mainWindow)
{
    HWND panel = FindPanel(mainWindow);
    return panel ? GetDlgItem(panel, IDC_MESSAGE) : NULL;
}

// The program answers nothing while it compares, so ask with a time limit.
static bool ReadMessageLine(HWND line, char *text)
{
    DWORD_PTR copied = 0;
    text[0] = '\0';
    return SendMessageTimeoutA(line, WM_GETTEXT, TEXT_SIZE, reinterpret_cast<LPARAM>(text),
                               SMTO_ABORTIFHUNG, 100, &copied) != 0 && text[0] != '\0';
}

// One question to Wine's server; IsWindowVisible would ask about every
// parent too, as often as the run being timed asks about its own windows.
static bool BarOnScreen(HWND bar)
{
    return (GetWindowLongA(bar, GWL_STYLE) & WS_VISIBLE) != 0;
}

static double SecondsSince(const LARGE_INTEGER &start)
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

int main(int argc, char **argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: start_timer PROGRAM FILE1 FILE2\n");
        return 2;
    }
    char commandLine[3 * MAX_PATH + 16];
    std::snprintf(commandLine, sizeof commandLine, "\"%s\" \"%s\" \"%s\"", argv[1], argv[2], argv[3]);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};

    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(NULL, commandLine, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) {
        std::fprintf(stderr, "cannot start %s (error %lu)\n", argv[1], GetLastError());
        return 1;
    }
    char verdict[TEXT_SIZE] = "";
    HWND mainWindow = NULL, line = NULL, bar = NULL;
    LARGE_INTEGER shown = start;
    while (SecondsSince(start) * 1000 < GIVE_UP_MS) {
        if (mainWindow == NULL && (mainWindow = FindMainWindow(process.dwProcessId)) != NULL)
            QueryPerformanceCounter(&shown);
        if (mainWindow != NULL && line == NULL && (line = FindMessageLine(mainWindow)) != NULL)
            bar = GetDlgItem(GetParent(line), IDC_PROGRESS);
        // The verdict comes only after the bar is hidden, and asking the
        // message line meanwhile would only add work to the run being timed.
        bool running = line != NULL && BarOnScreen(bar);
        if (line != NULL && !running && ReadMessageLine(line, verdict))
            break;
        Sleep(running ? BAR_POLL_MS : POLL_MS);
    }
    WaitForInputIdle(process.hProcess, GIVE_UP_MS);
    double seconds = SecondsSince(start);
    double secondsShown = SecondsSince(shown);

    if (line != NULL)
        PostMessageA(GetAncestor(line, GA_ROOT), WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (verdict[0] == '\0') {
        std::fprintf(stderr, "no verdict shown\n");
        return 1;
    }
    std::printf("%.6f %.6f %s\n", seconds, secondsShown, verdict);
    return 0;
}
