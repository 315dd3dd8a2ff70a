// The comparison as the main panel shows it: the result buffers that keep
// the last run's texts, the run on the panel's two names, and its verdict.
#ifndef TARNLIGHT_COMPARE_H
#define TARNLIGHT_COMPARE_H

#include <cstdint>

#include "compare/engine.h"
#include "compare/panel.h"
#include "compare/report_file.h"

// The face the panel shows while no result stands.
constexpr char RESTING_FACE[] = "(-_-)";

// Zero-ended Shift-JIS texts of the last run; empty at start.
extern char g_fileName1[NAME_SIZE];
extern char g_fileName2[NAME_SIZE];
extern char g_reportText[REPORT_SIZE];
extern char g_verdictLine[VERDICT_SIZE];
extern char g_face[FACE_SIZE];

// The report file of the last run, as Save result writes it.
void FormatLastResult(ReportFileParts *parts);

// Compares the files named in the panel's two fields, with the settings
// record as it stands at the start, and shows the outcome.
void RunComparison(PanelWindow panel);

// Fills the Verdict line and the Face by the settings the run compared
// with, then puts them and the Report text on the panel.
void ShowVerdict(PanelWindow panel, int64_t differences, FileSizes sizes, const Settings &settings);

#endif
