// The comparison run: reads the two named files block by block, lists the
// differing bytes into the report and reports its progress. Knows no window.
// Files of known size are compared over their common length; when a size is
// unknown (a pipe, a device), both inputs are read until either ends.
#include "compare/engine.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "compare/read_ahead.h"
#include "compare/scan.h"
#include "compare/source_file.h"

enum {
    SMALL_BLOCK = 1000,
    LARGE_BLOCK = 10000,
    LARGE_FILE = 50000,         // a file this long or longer counts as large
    SHORT_READ_BLOCKS = 16,     // the first reads, see ChunkLengthAt
#ifdef _WIN32
    BLOCKS_PER_READ = 64,       // then fewer, larger reads: under Wine each call has its own cost
    BLOCKS_PER_READ_AHEAD = BLOCKS_PER_READ,    // no thread reads ahead here
#else
    BLOCKS_PER_READ = 16,       // a read costs little here, and a chunk is compared only once it is whole
    BLOCKS_PER_READ_AHEAD = 200,    // each chunk the thread hands over has its cost
#endif
    READ_BUFFER_SIZE = LARGE_BLOCK * BLOCKS_PER_READ_AHEAD
};

struct Run {
    const Settings *settings;
    const InputParts *parts;
    ProgressSink sink;
    StretchSink stretches;
    Comparison *result;
    SourceFile file[2];
    SourceStamp stamp[2];
    unsigned char *own[2];      // the block buffers the run obtained
    ReadAhead ahead;
    unsigned char *buffer[2];   // those of the chunk in hand
    bool streamed;              // a size is unknown: read until an input ends
    bool cut[2];                // the limit ends this part before its file's end
    int64_t shorter;            // the common length, when both sizes are known
    int64_t blockSize;
    int64_t position;
    int64_t chunkStart;         // file offset of the first byte in the buffers
    int64_t loaded[2];          // bytes that arrived in each buffer, -1 for a failed read
    bool stopped;
    char listing[REPORT_SIZE];  // the difference lines; the head comes first once sizes are known
};

#if defined(__GNUC__)
__attribute__((format(printf, 2, 3)))
#endif
static void AppendToReport(char *report, const char *format, ...)
{
    size_t used = std::strlen(report);
    va_list args;
    va_start(args, format);
    std::vsnprintf(report + used, REPORT_SIZE - used, format, args);
    va_end(args);
}

static void Report(const Run *run, int percent)
{
    if (run->sink.report)
        run->sink.report(run->sink.context, percent);
}

// Ends the run early: whatever was listed is no result.
static void EndEarly(Comparison *result, ComparisonEnd end, int failedFile)
{
    result->end = end;
    result->failedFile = failedFile;
    result->report[0] = '\0';
}

static bool OpenBothFiles(Run *run, const char *const names[2])
{
    for (int index = 0; index < 2; ++index) {
        if (!OpenSourceFile(names[index], &run->file[index])) {
            if (index == 1)
                CloseSourceFile(&run->file[0]);
            EndEarly(run->result, COMPARISON_CANNOT_OPEN, index + 1);
            return false;
        }
        run->stamp[index] = StampOfSourceFile(&run->file[index]);
    }
    run->result->sizes.first = SourceSizeOf(names[0], &run->file[0]);
    run->result->sizes.second = SourceSizeOf(names[1], &run->file[1]);
    run->streamed = run->result->sizes.first == SIZE_UNKNOWN || run->result->sizes.second == SIZE_UNKNOWN;
    return true;
}

static char PluralMark(int64_t size)
{
    return size >= 2 ? 's' : ' ';
}

// The column header and the size line, then the listing.
static void WriteReport(Comparison *result, const char *listing)
{
    AppendToReport(result->report, "　　　　　　　　　　<ファイル1>　　　　<ファイル2>\r\n\r\n");
    AppendToReport(result->report, "　　　　　　　　 %8lld Byte%c　　 %8lld Byte%c\r\n\r\n",
                   static_cast<long long>(result->sizes.first), PluralMark(result->sizes.first),
                   static_cast<long long>(result->sizes.second), PluralMark(result->sizes.second));
    AppendToReport(result->report, "%s", listing);
}

// ⌊size × percent ÷ 100⌋ without forming a product that could overflow.
static int64_t ShareOf(int64_t size, int percent)
{
    return size / 100 * percent + size % 100 * percent / 100;
}

static void StepProgressTo(Run *run, int64_t position)
{
    Comparison *result = run->result;
    while (result->percent < PROGRESS_LAST && position > ShareOf(run->shorter, result->percent)) {
        ++result->percent;
        Report(run, result->percent);
    }
}

// The length of the chunk that starts at position.
static int64_t ChunkLengthAt(const Run *run, int64_t position)
{
    // Short reads until the run has passed a buffer's length: a short run's
    // pace shows (and its bar stays hidden) before the rest of the buffers is
    // first touched, which under Wine costs more than the reads themselves.
    int64_t blocks = position < READ_BUFFER_SIZE ? SHORT_READ_BLOCKS
                     : run->ahead.thread        ? BLOCKS_PER_READ_AHEAD
                                                : BLOCKS_PER_READ;
    int64_t length = run->blockSize * blocks;
    int64_t end = run->streamed ? run->parts->limit : run->shorter;
    return length < end - position ? length : end - position;
}

// Takes the next chunk of both inputs and, for files of known size, asks
// for the one after it; returns the length asked for.
static int64_t ReadChunk(Run *run)
{
    if (!run->ahead.asked)
        AskChunk(&run->ahead, ChunkLengthAt(run, run->position));
    const ChunkPair *chunk = TakeChunk(&run->ahead);
    int64_t length = chunk->length;
    run->chunkStart = run->position;
    for (int index = 0; index < 2; ++index) {
        run->buffer[index] = chunk->buffer[index];
        run->loaded[index] = chunk->loaded[index];
    }
    bool whole = run->loaded[0] == length && run->loaded[1] == length;
    if (!run->streamed && whole && run->chunkStart + length < run->shorter)
        AskChunk(&run->ahead, ChunkLengthAt(run, run->chunkStart + length));
    int64_t most = run->loaded[0] > run->loaded[1] ? run->loaded[0] : run->loaded[1];
    run->result->bytesRead = run->chunkStart + (most > 0 ? most : 0);
    Report(run, PROGRESS_READ);
    return length;
}

static void ListDifference(char *listing, int64_t offset, unsigned first, unsigned second)
{
    AppendToReport(listing, " %9lld バイト目  %5d (0x%2x) 　　　%5d (0x%2x)\r\n",
                   static_cast<long long>(offset), static_cast<int>(first), first,
                   static_cast<int>(second), second);
}

// One differing byte, by the stop condition and the listing limit.
static void HandleDifference(Run *run, int64_t offset, unsigned first, unsigned second)
{
    Comparison *result = run->result;
    int64_t max = run->settings->maxdiffno;
    if (run->settings->compcancel == STOP_AT_FIRST) {
        ++result->differences;
        run->stopped = true;
    } else if (result->differences < max) {
        ListDifference(run->listing, offset, first, second);
        ++result->differences;
    } else if (result->differences == max) {
        AppendToReport(run->listing, "さらに違う箇所あり・・・\r\n");
        ++result->differences;
    } else if (run->settings->compcancel == STOP_AT_MAX) {
        run->stopped = true;
    } else {
        ++result->differences;
    }
}

static bool OnlyCountingLeft(const Run *run)
{
    int32_t stop = run->settings->compcancel;
    return stop != STOP_AT_FIRST && stop != STOP_AT_MAX &&
           run->result->differences > run->settings->maxdiffno;
}

// Compares the block's bytes from begin up to (not including) end.
static void CompareBlock(Run *run, int64_t begin, int64_t end)
{
    const unsigned char *first = run->buffer[0] + (begin - run->chunkStart);
    const unsigned char *second = run->buffer[1] + (begin - run->chunkStart);
    size_t length = static_cast<size_t>(end - begin);
    if (run->stretches.take) {
        if (!run->stretches.take(run->stretches.context, begin, first, second, length))
            run->stopped = true;
        return;
    }
    size_t at = 0;
    while (at < length && !run->stopped) {
        if (OnlyCountingLeft(run)) {
            run->result->differences += static_cast<int64_t>(CountDifferences(first + at, second + at, length - at));
            return;
        }
        at += FindFirstDifference(first + at, second + at, length - at);
        if (at == length)
            return;
        HandleDifference(run, begin + static_cast<int64_t>(at), first[at], second[at]);
        ++at;
    }
}

// Bytes past either file's end are never compared: the block is cut at the
// shorter size, and blocks start only below it.
static bool CompareBlocks(Run *run)
{
    int64_t readUpTo = 0;
    while (run->position < run->shorter && !run->stopped) {
        StepProgressTo(run, run->position);
        if (run->position >= readUpTo)
            readUpTo = run->position + ReadChunk(run);
        int64_t end = run->position + run->blockSize;
        if (end > run->shorter)
            end = run->shorter;
        for (int index = 0; index < 2; ++index) {
            if (run->loaded[index] < end - run->chunkStart) {
                EndEarly(run->result, COMPARISON_UNREADABLE, index + 1);
                return false;
            }
        }
        CompareBlock(run, run->position, end);
        run->position += run->blockSize;
    }
    return true;
}

// A stream's size is what was read of it; a file's stays what it said.
static void TakeStreamedSizes(Run *run)
{
    int64_t *sizes[2] = {&run->result->sizes.first, &run->result->sizes.second};
    for (int index = 0; index < 2; ++index) {
        if (*sizes[index] == SIZE_UNKNOWN)
            *sizes[index] = run->chunkStart + run->loaded[index];
    }
}

// Reads both inputs a chunk at a time until either ends or the stop
// condition is met; never more than one chunk past the shorter one's end.
static bool CompareStreams(Run *run)
{
    for (;;) {
        int64_t asked = ReadChunk(run);
        for (int index = 0; index < 2; ++index) {
            if (run->loaded[index] < 0) {
                EndEarly(run->result, COMPARISON_UNREADABLE, index + 1);
                return false;
            }
        }
        int64_t common = run->loaded[0] < run->loaded[1] ? run->loaded[0] : run->loaded[1];
        CompareBlock(run, run->position, run->position + common);
        run->position += common;
        if (run->stopped || common < asked || run->position == run->parts->limit) {
            TakeStreamedSizes(run);
            return true;
        }
    }
}

// A file whose size ended the comparison must be at its end now: bytes past
// it mean the size was wrong or the file grew, and they were never compared.
static bool CheckAtEnd(Run *run)
{
    const int64_t sizes[2] = {run->result->sizes.first, run->result->sizes.second};
    for (int index = 0; index < 2 && !run->stopped; ++index) {
        if (sizes[index] != run->shorter || run->cut[index])
            continue;
        unsigned char extra;
        int64_t got = ReadSourceFile(&run->file[index], &extra, 1);
        if (got != 0) {
            EndEarly(run->result, got < 0 ? COMPARISON_UNREADABLE : COMPARISON_CHANGED, index + 1);
            return false;
        }
    }
    return true;
}

static bool SameStamp(SourceStamp before, SourceStamp after)
{
    if (!before.known || !after.known)
        return before.known == after.known;
    return before.size == after.size && before.writeTime == after.writeTime;
}

static bool CheckUnchanged(Run *run)
{
    for (int index = 0; index < 2; ++index) {
        if (!SameStamp(run->stamp[index], StampOfSourceFile(&run->file[index]))) {
            EndEarly(run->result, COMPARISON_CHANGED, index + 1);
            return false;
        }
    }
    return true;
}

static void CloseBothFiles(Run *run)
{
    CloseSourceFile(&run->file[0]);
    CloseSourceFile(&run->file[1]);
}

static void ReturnBuffers(Run *run)
{
    ReturnBlockBuffer(run->own[0]);
    ReturnBlockBuffer(run->own[1]);
}

static bool ObtainBuffers(Run *run)
{
    run->own[0] = ObtainBlockBuffer(READ_BUFFER_SIZE);
    run->own[1] = ObtainBlockBuffer(READ_BUFFER_SIZE);
    if (run->own[0] && run->own[1])
        return true;
    ReturnBuffers(run);
    EndEarly(run->result, COMPARISON_NO_MEMORY, 0);
    return false;
}

// A file of known size is positioned past its skip, and its part is what
// remains of it up to the limit; a stream has no position to set, so its
// skipped bytes are read and dropped.
static bool SkipToPart(Run *run, int index)
{
    int64_t skip = run->parts->skip[index];
    int64_t *size = index == 0 ? &run->result->sizes.first : &run->result->sizes.second;
    if (*size != SIZE_UNKNOWN) {
        int64_t skipped = skip < *size ? skip : *size;
        *size -= skipped;
        run->cut[index] = *size > run->parts->limit;
        if (run->cut[index])
            *size = run->parts->limit;
        return skipped == 0 || SeekSourceFile(&run->file[index], skipped);
    }
    while (skip > 0) {
        int64_t length = skip < READ_BUFFER_SIZE ? skip : static_cast<int64_t>(READ_BUFFER_SIZE);
        int64_t got = ReadSourceFile(&run->file[index], run->own[index], length);
        if (got < 0)
            return false;
        if (got < length)
            break;
        skip -= got;
    }
    return true;
}

static bool SkipToParts(Run *run)
{
    for (int index = 0; index < 2; ++index) {
        if (!SkipToPart(run, index)) {
            EndEarly(run->result, COMPARISON_UNREADABLE, index + 1);
            return false;
        }
    }
    return true;
}

static bool NamesFit(const char *const names[2], size_t nameSize, Comparison *result)
{
    for (int index = 0; index < 2; ++index) {
        if (std::strlen(names[index]) >= nameSize) {
            EndEarly(result, COMPARISON_NAME_TOO_LONG, index + 1);
            return false;
        }
    }
    return true;
}

// The block size of a block-by-block run, from the shorter known size.
static int64_t BlockSizeFor(FileSizes sizes)
{
    int64_t shorter = sizes.first;
    if (shorter == SIZE_UNKNOWN || (sizes.second != SIZE_UNKNOWN && sizes.second < shorter))
        shorter = sizes.second;
    return shorter != SIZE_UNKNOWN && shorter < LARGE_FILE ? SMALL_BLOCK : LARGE_BLOCK;
}

// A stream is never read further than the comparison asks, nor is the
// caller's standard input, whose position they keep; only the other files
// are read ahead.
static bool CompareInputs(Run *run)
{
    bool readAhead = !run->streamed && !run->file[0].shared && !run->file[1].shared;
    StartReadAhead(&run->ahead, run->file, run->own, READ_BUFFER_SIZE, readAhead);
    bool compared = run->streamed ? CompareStreams(run) : CompareBlocks(run);
    StopReadAhead(&run->ahead);
    return compared && (run->streamed || CheckAtEnd(run));
}

void CompareFiles(const char *name1, const char *name2, const Settings &settings,
                  ProgressSink sink, Comparison *result, size_t nameSize)
{
    const InputParts wholeFiles = {{0, 0}, NO_LIMIT};
    const StretchSink ownListing = {nullptr, nullptr};
    CompareFileParts(name1, name2, settings, wholeFiles, sink, ownListing, result, nameSize);
}

void CompareFileParts(const char *name1, const char *name2, const Settings &settings, const InputParts &parts,
                      ProgressSink sink, StretchSink stretches, Comparison *result, size_t nameSize)
{
    const char *const names[2] = {name1, name2};
    *result = Comparison();
    result->end = COMPARISON_COMPLETE;
    result->percent = PROGRESS_STARTED;
    // A cut name could open some other file, so a long one is never tried.
    if (!NamesFit(names, nameSize, result))
        return;
    Run run = {};
    run.settings = &settings;
    run.parts = &parts;
    run.sink = sink;
    run.stretches = stretches;
    run.result = result;
    if (!OpenBothFiles(&run, names))
        return;
    if (!ObtainBuffers(&run)) {
        CloseBothFiles(&run);
        return;
    }
    if (!SkipToParts(&run)) {
        CloseBothFiles(&run);
        ReturnBuffers(&run);
        return;
    }
    run.shorter = result->sizes.first < result->sizes.second ? result->sizes.first : result->sizes.second;
    run.blockSize = BlockSizeFor(result->sizes);
    Report(&run, PROGRESS_STARTED);
    if (CompareInputs(&run) && CheckUnchanged(&run))
        WriteReport(result, run.listing);
    CloseBothFiles(&run);
    ReturnBuffers(&run);
}

static const char *FailureFormat(ComparisonEnd end)
{
    switch (end) {
    case COMPARISON_NAME_TOO_LONG:  return "%d番目のファイル\r\n\"%s\"は名前が長すぎます（255バイトまで）。";
    case COMPARISON_CANNOT_OPEN:    return "%d番目のファイル\r\n\"%s\"が開けません。";
    case COMPARISON_NO_MEMORY:      return "比較に使うメモリーが確保できません。";
    case COMPARISON_UNREADABLE:     return "%d番目のファイル\r\n\"%s\"が読めません。";
    case COMPARISON_CHANGED:        return "%d番目のファイル\r\n\"%s\"が比較中に変更されました。";
    case COMPARISON_COMPLETE:       break;
    }
    return "";
}

void DescribeFailure(const Comparison &result, const char *name1, const char *name2,
                     char *text, size_t size)
{
    const char *name = result.failedFile == 2 ? name2 : name1;
    std::snprintf(text, size, FailureFormat(result.end), result.failedFile, name);
}
