// The comparison itself, for any caller: two named files read block by
// block, their differing bytes listed into a report text. It knows no
// window; the caller shows the outcome and the progress its own way.
#ifndef TARNLIGHT_ENGINE_H
#define TARNLIGHT_ENGINE_H

#include <cstddef>
#include <cstdint>

#include "settings/settings.h"

// Text sizes, each counting its terminating zero: a name as the window holds
// it, the report, the verdict and the face.
enum {
    NAME_SIZE = 256,
    REPORT_SIZE = 10000,
    VERDICT_SIZE = 100,
    FACE_SIZE = 6
};

// A size is SIZE_UNKNOWN only while a run reads an input of no known size
// (a pipe, a device); once it ends, the size is what was read of it.
constexpr int64_t SIZE_UNKNOWN = -1;

struct FileSizes {
    int64_t first;
    int64_t second;
};

enum {
    PROGRESS_READ = 0,      // a read has ended; nothing new to show
    PROGRESS_STARTED = 1,   // both files are open and the compare begins
    PROGRESS_LAST = 99      // the highest percentage a run reports
};

// Told of a run's progress: PROGRESS_STARTED once, then each percentage from
// 2 upward as it is reached, and PROGRESS_READ after every read. A run
// without sizes reports no percentage. report may be null.
struct ProgressSink {
    void (*report)(void *context, int percent);
    void *context;
};

enum ComparisonEnd {
    COMPARISON_COMPLETE,
    COMPARISON_NAME_TOO_LONG,   // a name does not fit the caller's name size
    COMPARISON_CANNOT_OPEN,
    COMPARISON_NO_MEMORY,       // the block buffers cannot be had
    COMPARISON_UNREADABLE,      // a read failed, or a file ended early
    COMPARISON_CHANGED          // a file changed while it was compared
};

struct Comparison {
    ComparisonEnd end;
    int failedFile;             // 1 or 2 when a file ended the run early
    FileSizes sizes;            // known once both files are open
    int64_t differences;        // the count the verdict is chosen from
    int percent;                // the last percentage reported
    int64_t bytesRead;          // of the longer input so far, for progress without sizes
    char report[REPORT_SIZE];   // column header, size line, difference lines, more line
};

// The part of each input a run compares: skip[i] bytes of input i are passed
// over (a file is positioned past them, a stream reads and drops them), then
// at most limit bytes are compared. Offsets, sizes and counts of the run are
// then those of the parts.
constexpr int64_t NO_LIMIT = INT64_MAX;

struct InputParts {
    int64_t skip[2];
    int64_t limit;
};

// Given every compared stretch of a run in order, with the offset of its
// first byte in the parts, in place of the engine's own listing; the run
// counts no differences then. Returning false ends the run where it is.
struct StretchSink {
    bool (*take)(void *context, int64_t offset, const unsigned char *first, const unsigned char *second,
                 size_t length);
    void *context;
};

// Compares name1 with name2 under the listing limit and the stop condition
// of settings. Only a complete run leaves a report; every other end leaves
// it empty, so no partial listing can pass for a result. A name of nameSize
// bytes or more is refused before anything is opened.
void CompareFiles(const char *name1, const char *name2, const Settings &settings,
                  ProgressSink sink, Comparison *result, size_t nameSize = NAME_SIZE);

// The same over the parts of the two inputs; a stretch sink with a null take
// leaves the listing to the engine.
void CompareFileParts(const char *name1, const char *name2, const Settings &settings, const InputParts &parts,
                      ProgressSink sink, StretchSink stretches, Comparison *result, size_t nameSize);

// The error text of a run that did not complete, naming the failed file with
// the name given for it; size is the size of text.
void DescribeFailure(const Comparison &result, const char *name1, const char *name2,
                     char *text, size_t size);

// The Verdict line (VERDICT_SIZE bytes) and the Face (FACE_SIZE bytes) for a
// complete run; the names tell a file compared with itself.
void ChooseVerdict(int64_t differences, FileSizes sizes, const char *name1, const char *name2,
                   const Settings &settings, char *verdict, char *face);

#endif
