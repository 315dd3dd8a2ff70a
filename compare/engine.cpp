// The comparison run: reads the two named files block by block, lists the
// differing bytes into the Report text, steps the progress display and hands
// the count and the sizes to the verdict. Owns the result buffers.
#include "compare/compare.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "app/ids.h"
#include "compare/scan.h"
#include "compare/source_file.h"
#include "settings/settings.h"

char g_fileName1[NAME_SIZE];
char g_fileName2[NAME_SIZE];
char g_reportText[REPORT_SIZE];
char g_verdictLine[VERDICT_SIZE];
char g_face[FACE_SIZE];

enum {
    SMALL_BLOCK = 1000,
    LARGE_BLOCK = 10000,
    LARGE_FILE = 50000,         // a file this long or longer counts as large
    BLOCKS_PER_READ = 16,
    READ_BUFFER_SIZE = LARGE_BLOCK * BLOCKS_PER_READ,
    LAST_PERCENT = 99,
    BOX_TEXT_SIZE = NAME_SIZE + 100
};

enum RunEnd { RUN_COMPLETE, RUN_UNREADABLE, RUN_CHANGED };

struct Run {
    PanelWindow panel;
    SourceFile file[2];
    int64_t size[2];
    SourceStamp stamp[2];
    unsigned char *buffer[2];
    int64_t shorter;
    int64_t blockSize;
    int64_t position;
    int64_t count;
    int percent;
    int64_t chunkStart;         // file offset of the first byte in the buffers
    int64_t loaded[2];          // bytes that arrived in each buffer
    bool stopped;
    int failedFile;             // 1 or 2 when the run cannot go on
};

#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
static void AppendToReport(const char *format, ...)
{
    size_t used = std::strlen(g_reportText);
    va_list args;
    va_start(args, format);
    std::vsnprintf(g_reportText + used, REPORT_SIZE - used, format, args);
    va_end(args);
}

static void ShowFileError(PanelWindow panel, const char *format, int number, const char *name)
{
    char text[BOX_TEXT_SIZE];
    std::snprintf(text, sizeof text, format, number, name);
    ShowErrorBox(panel, text);
}

static void ClearResults(PanelWindow panel)
{
    g_verdictLine[0] = '\0';
    g_face[0] = '\0';
    g_reportText[0] = '\0';
    SetPanelText(panel, IDC_MESSAGE, g_verdictLine);
    SetPanelText(panel, IDC_FACE, RESTING_FACE);
    SetPanelText(panel, IDC_RESULT, g_reportText);
}

static const char *NameOf(int index)
{
    return index == 0 ? g_fileName1 : g_fileName2;
}

static bool OpenBothFiles(Run *run)
{
    for (int index = 0; index < 2; ++index) {
        if (!OpenSourceFile(NameOf(index), &run->file[index])) {
            if (index == 1)
                CloseSourceFile(&run->file[0]);
            ShowFileError(run->panel, "%d番目のファイル\r\n\"%s\"が開けません。", index + 1, NameOf(index));
            return false;
        }
        run->size[index] = SourceSizeOf(NameOf(index), &run->file[index]);
        run->stamp[index] = StampOfSourceFile(&run->file[index]);
    }
    return true;
}

// Reads a file field into its name buffer, cut at 255 bytes. False when the
// field held more: the cut name could open some other file.
static bool ReadFileName(PanelWindow panel, int id, char *name)
{
    char text[2 * NAME_SIZE];
    GetPanelText(panel, id, text, sizeof text);
    size_t length = std::strlen(text);
    size_t kept = length < NAME_SIZE ? length : NAME_SIZE - 1;
    std::memcpy(name, text, kept);
    name[kept] = '\0';
    return length < NAME_SIZE;
}

static char PluralMark(int64_t size)
{
    return size >= 2 ? 's' : ' ';
}

static void WriteReportHead(const Run *run)
{
    g_reportText[0] = '\0';
    AppendToReport("　　　　　　　　　　<ファイル1>　　　　<ファイル2>\r\n\r\n");
    AppendToReport("　　　　　　　　 %8lld Byte%c　　 %8lld Byte%c\r\n\r\n",
                   static_cast<long long>(run->size[0]), PluralMark(run->size[0]),
                   static_cast<long long>(run->size[1]), PluralMark(run->size[1]));
}

// ⌊size × percent ÷ 100⌋ without forming a product that could overflow.
static int64_t ShareOf(int64_t size, int percent)
{
    return size / 100 * percent + size % 100 * percent / 100;
}

static void StepProgressTo(Run *run, int64_t position)
{
    while (run->percent < LAST_PERCENT && position > ShareOf(run->shorter, run->percent)) {
        StepProgressBar(run->panel);
        ++run->percent;
        char text[16];
        std::snprintf(text, sizeof text, "%3d%%", run->percent);
        SetPanelText(run->panel, IDC_FACE, text);
        KeepPanelPainted(run->panel, true);
    }
}

static void FillProgress(Run *run)
{
    for (int step = run->percent; step < 100; ++step)
        StepProgressBar(run->panel);
}

static void ReadChunk(Run *run)
{
    int64_t length = run->blockSize * BLOCKS_PER_READ;
    if (length > run->shorter - run->position)
        length = run->shorter - run->position;
    run->chunkStart = run->position;
    for (int index = 0; index < 2; ++index)
        run->loaded[index] = ReadSourceFile(&run->file[index], run->buffer[index], length);
    KeepPanelPainted(run->panel, false);
}

static void ListDifference(int64_t offset, unsigned first, unsigned second)
{
    AppendToReport(" %9lld バイト目  %5d (0x%2x) 　　　%5d (0x%2x)\r\n",
                   static_cast<long long>(offset), static_cast<int>(first), first,
                   static_cast<int>(second), second);
}

// One differing byte, by the stop condition and the listing limit.
static void HandleDifference(Run *run, int64_t offset, unsigned first, unsigned second)
{
    int64_t max = g_settings.maxdiffno;
    if (g_settings.compcancel == STOP_AT_FIRST) {
        ++run->count;
        run->stopped = true;
    } else if (run->count < max) {
        ListDifference(offset, first, second);
        ++run->count;
    } else if (run->count == max) {
        AppendToReport("さらに違う箇所あり・・・\r\n");
        ++run->count;
    } else if (g_settings.compcancel == STOP_AT_MAX) {
        run->stopped = true;
    } else {
        ++run->count;
    }
}

static bool OnlyCountingLeft(const Run *run)
{
    return g_settings.compcancel != STOP_AT_FIRST && g_settings.compcancel != STOP_AT_MAX &&
           run->count > g_settings.maxdiffno;
}

// Compares the block's bytes from begin up to (not including) end.
static void CompareBlock(Run *run, int64_t begin, int64_t end)
{
    const unsigned char *first = run->buffer[0] + (begin - run->chunkStart);
    const unsigned char *second = run->buffer[1] + (begin - run->chunkStart);
    size_t length = static_cast<size_t>(end - begin);
    size_t at = 0;
    while (at < length && !run->stopped) {
        if (OnlyCountingLeft(run)) {
            run->count += static_cast<int64_t>(CountDifferences(first + at, second + at, length - at));
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
static RunEnd CompareBlocks(Run *run)
{
    int64_t readUpTo = 0;
    while (run->position < run->shorter && !run->stopped) {
        StepProgressTo(run, run->position);
        if (run->position >= readUpTo) {
            ReadChunk(run);
            readUpTo = run->position + run->blockSize * BLOCKS_PER_READ;
        }
        int64_t end = run->position + run->blockSize;
        if (end > run->shorter)
            end = run->shorter;
        for (int index = 0; index < 2; ++index) {
            if (run->loaded[index] < end - run->chunkStart) {
                run->failedFile = index + 1;
                return RUN_UNREADABLE;
            }
        }
        CompareBlock(run, run->position, end);
        run->position += run->blockSize;
    }
    return RUN_COMPLETE;
}

static bool SameStamp(SourceStamp before, SourceStamp after)
{
    if (!before.known || !after.known)
        return before.known == after.known;
    return before.size == after.size && before.writeTime == after.writeTime;
}

static RunEnd CheckUnchanged(Run *run)
{
    for (int index = 0; index < 2; ++index) {
        if (!SameStamp(run->stamp[index], StampOfSourceFile(&run->file[index]))) {
            run->failedFile = index + 1;
            return RUN_CHANGED;
        }
    }
    return RUN_COMPLETE;
}

static void CloseBothFiles(Run *run)
{
    CloseSourceFile(&run->file[0]);
    CloseSourceFile(&run->file[1]);
}

static void ReturnBuffers(Run *run)
{
    ReturnBlockBuffer(run->buffer[0]);
    ReturnBlockBuffer(run->buffer[1]);
}

static bool ObtainBuffers(Run *run)
{
    run->buffer[0] = ObtainBlockBuffer(READ_BUFFER_SIZE);
    run->buffer[1] = ObtainBlockBuffer(READ_BUFFER_SIZE);
    if (run->buffer[0] && run->buffer[1])
        return true;
    ReturnBuffers(run);
    return false;
}

// A run that ends without a verdict leaves no partial listing behind that a
// later save could pass off as a result.
static void DropPartialResult(PanelWindow panel)
{
    g_reportText[0] = '\0';
    SetPanelText(panel, IDC_FACE, RESTING_FACE);
}

static void EndWithoutVerdict(Run *run, RunEnd end)
{
    HideProgressBar(run->panel);
    ResetProgressBar(run->panel);
    CloseBothFiles(run);
    ReturnBuffers(run);
    DropPartialResult(run->panel);
    const char *format = end == RUN_CHANGED ? "%d番目のファイル\r\n\"%s\"が比較中に変更されました。"
                                            : "%d番目のファイル\r\n\"%s\"が読めません。";
    ShowFileError(run->panel, format, run->failedFile, NameOf(run->failedFile - 1));
}

static void FinishRun(Run *run)
{
    FillProgress(run);
    HideProgressBar(run->panel);
    ResetProgressBar(run->panel);
    FileSizes sizes = {run->size[0], run->size[1]};
    ShowVerdict(run->panel, run->count, sizes);
    CloseBothFiles(run);
    ReturnBuffers(run);
    FocusPanelControl(run->panel, IDC_RESULT);
}

void RunComparison(PanelWindow panel)
{
    ClearResults(panel);
    bool fitted1 = ReadFileName(panel, IDC_FILE1, g_fileName1);
    bool fitted2 = ReadFileName(panel, IDC_FILE2, g_fileName2);
    if (g_fileName1[0] == '\0' || g_fileName2[0] == '\0') {
        if (g_settings.sudden == 0)
            SetPanelText(panel, IDC_MESSAGE, "２つのファイルを指定してください。");
        return;
    }
    if (!fitted1 || !fitted2) {
        int number = fitted1 ? 2 : 1;
        ShowFileError(panel, "%d番目のファイル\r\n\"%s\"は名前が長すぎます（255バイトまで）。", number, NameOf(number - 1));
        return;
    }

    Run run = {};
    run.panel = panel;
    if (!OpenBothFiles(&run))
        return;
    WriteReportHead(&run);
    if (!ObtainBuffers(&run)) {
        CloseBothFiles(&run);
        DropPartialResult(panel);
        ShowErrorBox(panel, "比較に使うメモリーが確保できません。");
        return;
    }

    run.shorter = run.size[0] < run.size[1] ? run.size[0] : run.size[1];
    run.blockSize = run.shorter < LARGE_FILE ? SMALL_BLOCK : LARGE_BLOCK;
    ShowProgressBar(panel);
    run.position = 0;
    run.percent = 1;

    RunEnd end = CompareBlocks(&run);
    if (end == RUN_COMPLETE)
        end = CheckUnchanged(&run);
    if (end != RUN_COMPLETE)
        EndWithoutVerdict(&run, end);
    else
        FinishRun(&run);
}
