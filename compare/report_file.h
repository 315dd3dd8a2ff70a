// The report file: its bytes, formatted from a run's names and texts, and the
// safe way of putting them in place of a chosen file.
#ifndef TARNLIGHT_REPORT_FILE_H
#define TARNLIGHT_REPORT_FILE_H

#include "compare/engine.h"

enum {
    REPORT_FILE_PARTS = 3,
    REPORT_NAME_SIZE = 4096,    // the longest path a POSIX system takes, with its zero
    NAMES_PART_SIZE = 2 * REPORT_NAME_SIZE + 32,
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

void FormatReportFile(ReportFileParts *parts, const char *name1, const char *name2,
                      const char *face, const char *verdict, const char *report);

// The bytes and length of part 0, 1 or 2.
const char *ReportFilePart(const ReportFileParts *parts, int index, int *length);

// Writes the report file into a new file in path's folder and only then
// moves it over path. Returns false when anything failed: path is then as it
// was and the new file is gone; on POSIX errno says why. A read-only path,
// or one this user may not write, is not replaced. A link is
// followed, and the file it names is replaced; an existing device or pipe
// (POSIX) or device (Windows) is written into.
// Windows also writes into a named pipe, and refuses a folder, a link to one
// and a FIFO seen through Wine; on failure errno says why.
bool WriteReportFile(const char *path, const ReportFileParts &parts);

// Whether saving at path would overwrite input: the same file, however
// either name is spelled or linked.
bool ReportWouldReplace(const char *path, const char *input);

// One write of WriteReportFile into its open file (a HANDLE on Windows);
// true only when every byte arrived.
bool WriteReportBytes(void *file, const char *bytes, int length);

#endif
