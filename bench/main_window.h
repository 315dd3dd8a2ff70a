// The bench drivers' way to the windows of a tarnlight.exe they started.
#ifndef TARNLIGHT_BENCH_MAIN_WINDOW_H
#define TARNLIGHT_BENCH_MAIN_WINDOW_H

#include <windows.h>

#include "res/resource.h"

struct MainWindowSearch {
    DWORD processId;
    HWND found;
};

static BOOL CALLBACK MatchMainWindow(HWND window, LPARAM data)
{
    MainWindowSearch *search = reinterpret_cast<MainWindowSearch *>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char className[32] = "";
    GetClassNameA(window, className, sizeof className);
    if (owner != search->processId || lstrcmpA(className, "Tarnlight") != 0 || !IsWindowVisible(window))
        return TRUE;
    search->found = window;
    return FALSE;
}

// The visible main window of the process, or NULL while there is none.
static HWND FindMainWindow(DWORD processId)
{
    MainWindowSearch search = {processId, NULL};
    EnumWindows(MatchMainWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The child dialog that holds the controls.
static HWND FindPanel(HWND mainWindow)
{
    return mainWindow ? FindWindowExA(mainWindow, NULL, "#32770", NULL) : NULL;
}

#endif
