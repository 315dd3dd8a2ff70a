// The report file: its bytes, formatted from the result buffers of the last
// run, and the safe way of putting them in place of a chosen file.
#ifndef TARNLIGHT_REPORT_FILE_H
#define TARNLIGHT_REPORT_FILE_H

#include "compare/compare.h"

enum {
    REPORT_FILE_PARTS = 3,
    NAMES_PART_SIZE = 2 * NAME_SIZE + 32,
    RULE_PART_SIZE = 32,
    RESULT_PART_SIZE = FACE_SIZE + VERDICT_SIZE + REPORT_SIZE + 16
};

// The three writes of the report file, in file order: the two names, the
// rule line, then the Face, the Verdict line and the Report text. No BOM, no
// terminating zero; every CR LF comes from the texts.
struct ReportFileParts {
    char names[NAMES_PART_SIZE];
    char rule[RULE_PART_SIZE];
    char result[RESULT_PART_SIZE];
};

void FormatReportFile(ReportFileParts *parts);

// The bytes and length of part 0, 1 or 2.
const char *ReportFilePart(const ReportFileParts *parts, int index, int *length);

// Writes the report file into a new file in path's folder and
// only then moves it over path. Returns false when anything failed: path is
// then as it was and the new file is gone. A read-only path is not replaced.
bool WriteReportFile(const char *path);

// Test seam: when 0 or more, the write with that index (0 to 2) fails as on
// a full disk, after half of its bytes reached the file.
extern int g_failingReportWrite;

#endif
