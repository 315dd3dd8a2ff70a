// The few window-system operations that the comparison logic and the
// settings rules need. The program implements them with Win32; the native
// tests link a recording fake, so the logic builds and runs without Windows.
#ifndef TARNLIGHT_PLATFORM_H
#define TARNLIGHT_PLATFORM_H

#include <cstdint>

// Same type as HWND under STRICT, so the window code passes its HWND as is.
struct HWND__;
typedef HWND__ *PanelWindow;

// Texts are zero-ended Shift-JIS. size counts the terminating zero.
void GetPanelText(PanelWindow panel, int id, char *text, int size);
void SetPanelText(PanelWindow panel, int id, const char *text);

void ShowProgressBar(PanelWindow panel);
void StepProgressBar(PanelWindow panel);
void HideProgressBar(PanelWindow panel);
void ResetProgressBar(PanelWindow panel);

// Called while a long run goes on: after the shown percentage changed
// (percentChanged true), and between reads. Lets the bar and the face field
// repaint and keeps the window from looking hung; takes no input.
void KeepPanelPainted(PanelWindow panel, bool percentChanged);

void FocusPanelControl(PanelWindow panel, int id);

// The error box of the program: caption "エラー", warning icon, OK.
void ShowErrorBox(PanelWindow panel, const char *text);

// Per-user store of signed 32-bit values. A value that is missing or cannot
// be read gives -1.
enum SettingKey { MAKER_KEY, PROGRAM_KEY };
int32_t ReadSetting(SettingKey key, const char *name);
void WriteSetting(SettingKey key, const char *name, int32_t value);

#endif
