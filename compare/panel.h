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
// (percentChanged true), and between reads. Lets the bar and the face field
// repaint and keeps the window from looking hung; takes no input.
void KeepPanelPainted(PanelWindow panel, bool percentChanged);

// Runs work(job) on a thread of its own and returns once it has returned.
// work reports its progress (the engine's PROGRESS_ values) through
// PassProgressToPanel, from its thread; the reports reach show(panel, percent)
// on this thread, the percentages each once and in order, and the reads that
// ended since this thread last looked as one report after them. Under Wine a
// step of the bar costs about a millisecond of painting, which so overlaps
// the reads.
void RunWithProgressOnPanel(PanelWindow panel, void (*work)(void *job), void *job,
                            void (*show)(void *panel, int percent));
void PassProgressToPanel(void *panel, int percent);

void FocusPanelControl(PanelWindow panel, PanelField field);

// The error box of the program: caption "エラー", warning icon, OK.
void ShowErrorBox(PanelWindow panel, const char *text);

#endif
