// The comparison on the main panel: reads the two file fields, runs the
// comparison, drives the progress bar and the percentage meanwhile, and shows
// the verdict or the error box. The result buffers keep what it found.
#include "compare/compare.h"

#include <cstdio>
#include <cstring>

#include "compare/engine.h"
#include "compare/progress_handoff.h"
#include "compare/shift_jis.h"

enum {
    FIELD_TEXT_SIZE = 2 * NAME_SIZE,
    BOX_TEXT_SIZE = NAME_SIZE + 100,
    PERCENT_TEXT_SIZE = 16,
    REPORT_LOOK_MS = 1      // how long the panel's thread waits between looks at the reports
};

static void ClearResults(PanelWindow panel)
{
    g_verdictLine[0] = '\0';
    g_face[0] = '\0';
    g_reportText[0] = '\0';
    SetPanelText(panel, MESSAGE_LINE, g_verdictLine);
    SetPanelText(panel, FACE_FIELD, RESTING_FACE);
    SetPanelText(panel, RESULT_FIELD, g_reportText);
}

// Copies as much of text as fits a name buffer, never half a double-byte
// character, so a refused name is shown and saved as readable text.
static void CopyWholeCharacters(char *name, const char *text)
{
    size_t kept = 0;
    while (text[kept] != '\0') {
        size_t width = IsShiftJisLeadByte(static_cast<unsigned char>(text[kept])) && text[kept + 1] != '\0' ? 2 : 1;
        if (kept + width > NAME_SIZE - 1)
            break;
        kept += width;
    }
    std::memcpy(name, text, kept);
    name[kept] = '\0';
}

// Reads a file field whole into text, and what fits of it into its name
// buffer; the comparison refuses a name that did not fit.
static void ReadFileField(PanelWindow panel, PanelField field, char *text, char *name)
{
    GetPanelText(panel, field, text, FIELD_TEXT_SIZE);
    CopyWholeCharacters(name, text);
}

// The panel's side of the progress interface: what each report shows.
static void ShowProgressOnPanel(void *context, int percent)
{
    PanelWindow panel = static_cast<PanelWindow>(context);
    if (percent == PROGRESS_STARTED) {
        ShowProgressBarOnceLong(panel);
    } else if (percent == PROGRESS_READ) {
        KeepPanelPainted(panel, false);
    } else {
        StepProgressBar(panel);
        char text[PERCENT_TEXT_SIZE];
        std::snprintf(text, sizeof text, "%3d%%", percent);
        SetPanelText(panel, FACE_FIELD, text);
        KeepPanelPainted(panel, true);
    }
}

// A run's own copy of the settings: whatever changes the record meanwhile
// (an Options sheet that another program presses OK on) counts from the
// next run, so the listing and the verdict follow the same limit.
struct FilesToCompare {
    const char *name1;
    const char *name2;
    Settings settings;
    ProgressHandOff handOff;
    Comparison *result;
};

// On the run's own thread; the panel's thread shows what it reports.
static void CompareOnRunThread(void *job)
{
    FilesToCompare *files = static_cast<FilesToCompare *>(job);
    CompareFiles(files->name1, files->name2, files->settings, HandOffSink(&files->handOff), files->result);
}

// The reports are looked at on every wake, and once more after the thread
// has ended, so the last of them are shown too. A run's end is seen at once:
// the wait ends with the thread, not at the next look.
static void CompareShowingProgress(PanelWindow panel, FilesToCompare *files)
{
    ProgressSink shown = {ShowProgressOnPanel, panel};
    StartHandOff(&files->handOff);
    RunThread thread = StartRunThread(panel, CompareOnRunThread, files);
    if (thread == nullptr) {
        // Without a thread of its own the run reports straight to the panel.
        CompareFiles(files->name1, files->name2, files->settings, shown, files->result);
        return;
    }
    bool ended = false;
    while (!ended) {
        ended = AwaitRunThread(panel, thread, REPORT_LOOK_MS);
        PassArrivedReports(&files->handOff, shown);
    }
}

// The bar is stepped 99 times in every run, whatever its course.
static void FillProgress(PanelWindow panel, int percent)
{
    for (int step = percent; step < 100; ++step)
        StepProgressBar(panel);
}

static bool ProgressWasShown(ComparisonEnd end)
{
    return end == COMPARISON_COMPLETE || end == COMPARISON_UNREADABLE || end == COMPARISON_CHANGED;
}

static void ShowFailure(PanelWindow panel, const Comparison &run)
{
    if (ProgressWasShown(run.end)) {
        HideProgressBar(panel);
        ResetProgressBar(panel);
    }
    if (run.end != COMPARISON_NAME_TOO_LONG && run.end != COMPARISON_CANNOT_OPEN)
        SetPanelText(panel, FACE_FIELD, RESTING_FACE);
    char text[BOX_TEXT_SIZE];
    DescribeFailure(run, g_fileName1, g_fileName2, text, sizeof text);
    ShowErrorBox(panel, text);
}

static void ShowOutcome(PanelWindow panel, const Comparison &run, const Settings &settings)
{
    FillProgress(panel, run.percent);
    HideProgressBar(panel);
    ResetProgressBar(panel);
    std::snprintf(g_reportText, REPORT_SIZE, "%s", run.report);
    ShowVerdict(panel, run.differences, run.sizes, settings);
    FocusPanelControl(panel, RESULT_FIELD);
}

void RunComparison(PanelWindow panel)
{
    ClearResults(panel);
    char typed1[FIELD_TEXT_SIZE], typed2[FIELD_TEXT_SIZE];
    ReadFileField(panel, FILE1_FIELD, typed1, g_fileName1);
    ReadFileField(panel, FILE2_FIELD, typed2, g_fileName2);
    if (g_fileName1[0] == '\0' || g_fileName2[0] == '\0') {
        if (g_settings.sudden == 0)
            SetPanelText(panel, MESSAGE_LINE, "２つのファイルを指定してください。");
        return;
    }
    Comparison run;
    FilesToCompare files;
    files.name1 = typed1;
    files.name2 = typed2;
    files.settings = g_settings;
    files.result = &run;
    CompareShowingProgress(panel, &files);
    if (run.end == COMPARISON_COMPLETE)
        ShowOutcome(panel, run, files.settings);
    else
        ShowFailure(panel, run);
}

void ShowVerdict(PanelWindow panel, int64_t differences, FileSizes sizes, const Settings &settings)
{
    ChooseVerdict(differences, sizes, g_fileName1, g_fileName2, settings, g_verdictLine, g_face);
    SetPanelText(panel, MESSAGE_LINE, g_verdictLine);
    SetPanelText(panel, FACE_FIELD, g_face);
    SetPanelText(panel, RESULT_FIELD, g_reportText);
}
