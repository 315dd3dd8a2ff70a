// The few window operations that a comparison shown on the main panel needs.
// The program implements them with Win32; the native tests link a recording
// fake, so the panel side of a run is tested without Windows too.
#ifndef TARNLIGHT_PANEL_H
#define TARNLIGHT_PANEL_H

// Same type as HWND under STRICT, so the window code passes its HWND as is.
struct HWND__;
typedef HWND__ *PanelWindow;

// The panel's controls that a run reads or writes.
enum PanelField {
    FILE1_FIELD,
    FILE2_FIELD,
    MESSAGE_LINE,
    FACE_FIELD,
    RESULT_FIELD
};

// Texts are zero-ended Shift-JIS. size counts the terminating zero.
void GetPanelText(PanelWindow panel, PanelField field, char *text, int size);
void SetPanelText(PanelWindow panel, PanelField field, const char *text);

// At a run's start: the bar goes on screen once the run looks long enough
// for anyone to see it (KeepPanelPainted decides), so a short run never
// shows it.
void ShowProgressBarOnceLong(PanelWindow panel);
void StepProgressBar(PanelWindow panel);
void HideProgressBar(PanelWindow panel);
void ResetProgressBar(PanelWindow panel);

// Called while a long run goes on: after the shown percentage changed
// (percentChanged true), and after reads. Lets the bar and the face field
// repaint and keeps the window from looking hung; takes no input.
void KeepPanelPainted(PanelWindow panel, bool percentChanged);

// The thread a run reads and compares on, so that the panel's thread is free
// to paint; a HANDLE on Windows.
typedef void *RunThread;

// Starts work(job) on a thread of its own for a run on panel; null when
// none can be had.
RunThread StartRunThread(PanelWindow panel, void (*work)(void *job), void *job);

// Waits up to milliseconds for the thread to end and keeps the panel painted
// meanwhile, also while the run reports nothing (a read that stalls on a
// slow disk or share). Returns true once the thread has ended; it is then
// gone and must not be waited for again.
bool AwaitRunThread(PanelWindow panel, RunThread thread, int milliseconds);

void FocusPanelControl(PanelWindow panel, PanelField field);

// The error box of the program: caption "エラー", warning icon, OK.
void ShowErrorBox(PanelWindow panel, const char *text);

#endif
