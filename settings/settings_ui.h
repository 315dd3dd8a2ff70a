// The Windows side of the settings: toolbar built from the record and the
// options sheet that edits it.
#ifndef TARNLIGHT_SETTINGS_UI_H
#define TARNLIGHT_SETTINGS_UI_H

#include <windows.h>

// The toolbar for the main window, or NULL when it cannot be made.
HWND CreateToolbar(HWND mainWindow);

// Modal; returns when the user closes the sheet.
void ShowOptionsSheet(HWND owner);

#endif
