// tlcmp: the comparison of two files from a console. It runs the same core
// as the window, prints what Save result would write for the pair, can save
// that report the same safe way, and answers with an exit status as cmp has
// it. It never reads or writes the stored settings.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "compare/engine.h"
#include "compare/report_file.h"
#include "settings/settings.h"
#include "tools/tlcmp/byte_count.h"
#include "tools/tlcmp/console.h"
#include "tools/tlcmp/listing.h"

#ifndef TARNLIGHT_VERSION
#error "TARNLIGHT_VERSION must give the program's version text"
#endif

enum ExitStatus { EXIT_SAME = 0, EXIT_DIFFERENT = 1, EXIT_TROUBLE = 2 };

enum {
    REASON_SIZE = 256,
    MESSAGE_SIZE = REPORT_NAME_SIZE + REASON_SIZE + 200,  // an error text with a long name and a reason
    TEXT_NAME_SIZE = REPORT_NAME_SIZE,
    PROGRESS_DELAY_MS = 500,
    PROGRESS_TEXT_SIZE = 40
};

// The name that stands for standard input, and what is opened for it.
static const char STANDARD_INPUT[] = "-";
#ifdef _WIN32
static const char *const STANDARD_INPUT_PATH = nullptr;   // "-" stays a file name
#else
static const char *const STANDARD_INPUT_PATH = "/dev/stdin";
#endif

// On Linux any path the system takes; the Windows program keeps the window's
// 255 bytes.
#ifdef _WIN32
static const size_t INPUT_NAME_SIZE = NAME_SIZE;
#else
static const size_t INPUT_NAME_SIZE = SIZE_MAX;
#endif

static const char USAGE_LINE[] =
    "使い方: tlcmp [-m N] [-s 0|1|2] [-o REPORT] [-q] [--sjis] [-i SKIP[:SKIP2]] [-n LIMIT] [-l]\r\n"
    "             ファイル1 ファイル2\r\n";

static const char STDOUT_FAILURE[] = "標準出力に書き込めません（%s）。";

static const char HELP_TEXT[] =
    "\r\n"
    "２つのファイルをバイト単位で比較し、Tarnlight の「結果を出力」と同じ内容\r\n"
    "（２つのファイル名、顔文字と判定、違うバイトの一覧）を標準出力に書きます。\r\n"
    "\r\n"
    "  -m N       違うバイトを一覧に出す最大数（1～100、初期値 30）\r\n"
    "  -s 0|1|2   終了条件（初期値 0）\r\n"
    "               0  どちらか一方のファイルが終端に達するまで比較する\r\n"
    "               1  最大表示数（-m の数）に達したら終了する\r\n"
    "               2  異なるバイトが１つでもあったら直ちに終了する\r\n"
    "  -o REPORT  比較が終わったら、同じ結果をファイル REPORT にも保存する\r\n"
    "             （Shift-JIS、改行 CR LF。失敗しても元のファイルは残る）\r\n"
    "  -q         結果を出力せず、終了コードだけを返す\r\n"
    "  --sjis     出力を変換せず Shift-JIS のまま書く（Windows ではコンソールにも）\r\n"
    "  -i SKIP    両方のファイルの先頭 SKIP バイトを飛ばしてから比較する\r\n"
    "  -i SKIP1:SKIP2\r\n"
    "             ファイル1 は SKIP1 バイト、ファイル2 は SKIP2 バイト飛ばす\r\n"
    "  -n LIMIT   多くても LIMIT バイトまで比較する\r\n"
    "             位置・サイズ・違いの数・判定は、比較した部分についてのもの\r\n"
    "             数には cmp と同じ単位を付けられる: kB 1000、K と KiB 1024、\r\n"
    "             MB 1000000、M と MiB 1048576、G、T、P、E も同様。0x で16進、0 で8進\r\n"
    "  -l         違うバイトをすべて cmp -l と同じ形で出力する（1から数えた位置、\r\n"
    "             両方のバイトを8進で）。短い方のファイルが終わると標準エラーに\r\n"
    "             \"tlcmp: EOF on ファイル after byte N\" と出す。-m -s -o -q とは使えない\r\n"
    "  -          ファイルの代わりに標準入力を読む（Linux、片方だけ）\r\n"
    "  --help     この説明を表示する\r\n"
    "  --version  バージョンを表示する\r\n"
    "\r\n"
    "終了コード\r\n"
    "  0  同じ内容のファイルです\r\n"
    "  1  内容か長さが違います\r\n"
    "  2  比較できませんでした（ファイルが開けない・読めない、比較中に変更\r\n"
    "     された、名前が 255 バイトを超える、指定の誤り、REPORT に保存できない）\r\n"
    "     理由は標準エラーに出ます。\r\n"
    "\r\n"
    "設定（レジストリ）は読みも書きもしません。\r\n";

static const char HELP_HINT[] = "詳しくは tlcmp --help を見てください。\r\n";

enum Request { REQUEST_COMPARE, REQUEST_HELP, REQUEST_VERSION };

// What was wrong with the command line; its text is made once the console
// knows the charset of the names.
enum ArgumentFault {
    FAULT_NONE,
    FAULT_LIMIT,            // -m outside 1 to 100
    FAULT_STOP,             // -s not 0, 1 or 2
    FAULT_REPORT_NAME,      // -o without a name
    FAULT_UNKNOWN_OPTION,
    FAULT_NAME_COUNT,       // not exactly two files
    FAULT_TWO_STANDARD_INPUTS,
    FAULT_SKIP,             // -i not SKIP or SKIP1:SKIP2
    FAULT_BYTES,            // -n not a count
    FAULT_LISTING_WITH_REPORT   // -l with an option of the report
};

struct Options {
    Request request;
    Settings settings;
    const char *names[2];       // as typed, for the report and the messages
    const char *opened[2];      // what is opened: "-" becomes standard input
    const char *reportPath;     // -o, or null
    bool quiet;
    bool rawShiftJis;
    bool listAll;               // -l
    InputParts parts;
    ArgumentFault fault;
    const char *faultArgument;
};

static bool WriteLine(FILE *stream, const char *text)
{
    return WriteText(stream, text, std::strlen(text)) && WriteText(stream, "\r\n", 2);
}

// Reads a whole decimal number between low and high.
static bool ReadNumber(const char *text, int low, int high, int32_t *value)
{
    if (text == nullptr || *text < '0' || *text > '9')
        return false;
    char *end = nullptr;
    long number = std::strtol(text, &end, 10);
    if (*end != '\0' || number < low || number > high)
        return false;
    *value = static_cast<int32_t>(number);
    return true;
}

// Whether argument is the option itself, or a numeric option with its number
// attached ("-m5"): "-sjis" is no "-s".
static bool IsOption(const char *argument, const char *option, bool numeric)
{
    size_t length = std::strlen(option);
    if (std::strncmp(argument, option, length) != 0)
        return false;
    char next = argument[length];
    return next == '\0' || (numeric && next >= '0' && next <= '9');
}

// The value of an option: what follows its letter, or the next argument.
static const char *OptionValue(int argc, char **argv, int *at)
{
    if (argv[*at][2] != '\0')
        return argv[*at] + 2;
    if (*at + 1 < argc)
        return argv[++*at];
    return nullptr;
}

// Reads the option at argv[*at], and its value; the fault it finds.
static ArgumentFault ReadOption(int argc, char **argv, int *at, Options *options)
{
    const char *argument = argv[*at];
    if (std::strcmp(argument, "--help") == 0) {
        options->request = REQUEST_HELP;
    } else if (std::strcmp(argument, "--version") == 0) {
        options->request = REQUEST_VERSION;
    } else if (std::strcmp(argument, "--sjis") == 0) {
        options->rawShiftJis = true;
    } else if (std::strcmp(argument, "-q") == 0) {
        options->quiet = true;
    } else if (IsOption(argument, "-m", true)) {
        if (!ReadNumber(OptionValue(argc, argv, at), 1, MAX_LISTED_LIMIT, &options->settings.maxdiffno))
            return FAULT_LIMIT;
    } else if (IsOption(argument, "-s", true)) {
        if (!ReadNumber(OptionValue(argc, argv, at), STOP_AT_END, STOP_AT_FIRST, &options->settings.compcancel))
            return FAULT_STOP;
    } else if (IsOption(argument, "-i", true)) {
        // Given again, the larger skip of each input holds, as with cmp.
        int64_t skips[2];
        if (!ReadSkips(OptionValue(argc, argv, at), skips))
            return FAULT_SKIP;
        for (int index = 0; index < 2; ++index)
            if (skips[index] > options->parts.skip[index])
                options->parts.skip[index] = skips[index];
    } else if (IsOption(argument, "-n", true)) {
        // Given again, the smaller limit holds, as with cmp.
        int64_t limit = 0;
        if (!ReadByteCount(OptionValue(argc, argv, at), &limit))
            return FAULT_BYTES;
        if (limit < options->parts.limit)
            options->parts.limit = limit;
    } else if (std::strcmp(argument, "-l") == 0) {
        options->listAll = true;
    } else if (IsOption(argument, "-o", false)) {
        options->reportPath = OptionValue(argc, argv, at);
        if (options->reportPath == nullptr || options->reportPath[0] == '\0')
            return FAULT_REPORT_NAME;
    } else {
        return FAULT_UNKNOWN_OPTION;
    }
    return FAULT_NONE;
}

// The listing has no report, so nothing that shapes or saves one.
static bool TakesReportOptions(const Options &options)
{
    const Settings defaults = DefaultSettings();
    return options.quiet || options.reportPath || options.settings.maxdiffno != defaults.maxdiffno ||
           options.settings.compcancel != defaults.compcancel;
}

// Options may stand before, between and after the two names; "--" ends them.
static void ReadArguments(int argc, char **argv, Options *options)
{
    int names = 0;
    bool optionsEnded = false;
    for (int at = 1; at < argc && options->fault == FAULT_NONE; ++at) {
        const char *argument = argv[at];
        if (!optionsEnded && std::strcmp(argument, "--") == 0) {
            optionsEnded = true;
        } else if (!optionsEnded && argument[0] == '-' && argument[1] != '\0') {
            options->fault = ReadOption(argc, argv, &at, options);
            options->faultArgument = argument;
        } else {
            if (names < 2)
                options->names[names] = argument;
            ++names;
        }
    }
    if (options->fault == FAULT_NONE && options->request == REQUEST_COMPARE && names != 2)
        options->fault = FAULT_NAME_COUNT;
    int standardInputs = 0;
    for (int index = 0; index < 2 && names == 2; ++index) {
        options->opened[index] = options->names[index];
        if (STANDARD_INPUT_PATH && std::strcmp(options->names[index], STANDARD_INPUT) == 0) {
            options->opened[index] = STANDARD_INPUT_PATH;
            ++standardInputs;
        }
    }
    if (options->fault == FAULT_NONE && standardInputs > 1)
        options->fault = FAULT_TWO_STANDARD_INPUTS;
    if (options->fault == FAULT_NONE && options->listAll && TakesReportOptions(*options))
        options->fault = FAULT_LISTING_WITH_REPORT;
}

static int ReportArgumentFault(const Options &options)
{
    char text[MESSAGE_SIZE], name[TEXT_NAME_SIZE];
    switch (options.fault) {
    case FAULT_LIMIT:
        std::snprintf(text, sizeof text, "-m には 1 から 100 までの数を指定してください。");
        break;
    case FAULT_STOP:
        std::snprintf(text, sizeof text, "-s には 0、1、2 のどれかを指定してください。");
        break;
    case FAULT_REPORT_NAME:
        std::snprintf(text, sizeof text, "-o には保存するファイルの名前を指定してください。");
        break;
    case FAULT_UNKNOWN_OPTION:
        TextNameOf(options.faultArgument, name, sizeof name);
        std::snprintf(text, sizeof text, "%s というオプションはありません。", name);
        break;
    case FAULT_SKIP:
        std::snprintf(text, sizeof text, "-i には飛ばすバイト数を SKIP か SKIP1:SKIP2 の形で指定してください"
                                         "（0 から 9223372036854775807 まで）。");
        break;
    case FAULT_BYTES:
        std::snprintf(text, sizeof text, "-n には比較するバイト数を 0 から 9223372036854775807 までで"
                                         "指定してください。");
        break;
    case FAULT_LISTING_WITH_REPORT:
        std::snprintf(text, sizeof text, "-l は -m、-s、-o、-q と一緒には指定できません。");
        break;
    case FAULT_TWO_STANDARD_INPUTS:
        std::snprintf(text, sizeof text, "標準入力（-）は片方のファイルにしか指定できません。");
        break;
    default:
        std::snprintf(text, sizeof text, "２つのファイルを指定してください。");
        break;
    }
    WriteLine(stderr, text);
    WriteText(stderr, USAGE_LINE, std::strlen(USAGE_LINE));
    WriteText(stderr, HELP_HINT, std::strlen(HELP_HINT));
    return EXIT_TROUBLE;
}

struct Progress {
    bool allowed;           // standard error is a terminal and output is wanted
    const Comparison *run;
    int64_t startMs;
    int64_t shownMs;        // when the terminal's text last changed
    int percent;            // the last percentage the run reached
    int shown;              // the percentage on the terminal, 0 for none
    int columns;            // the width of the text on the terminal
};

static void PutProgress(Progress *progress, const char *text, int columns)
{
    WriteText(stderr, text, std::strlen(text));
    progress->columns = columns;
    progress->shownMs = MillisecondsNow();
}

// Without sizes there is no percentage: the bytes read so far, a few times
// a second.
static void ShowBytesRead(Progress *progress)
{
    if (MillisecondsNow() - progress->shownMs < PROGRESS_DELAY_MS / 2)
        return;
    char text[PROGRESS_TEXT_SIZE];
    int length = std::snprintf(text, sizeof text, "\r%lld バイト", static_cast<long long>(progress->run->bytesRead));
    PutProgress(progress, text, length - 1);
}

// The same steps as the window's percentage, once the run has taken long
// enough for the user to wonder.
static void ShowProgress(void *context, int percent)
{
    Progress *progress = static_cast<Progress *>(context);
    if (percent > PROGRESS_STARTED)
        progress->percent = percent;
    if (!progress->allowed || MillisecondsNow() - progress->startMs < PROGRESS_DELAY_MS)
        return;
    const FileSizes &sizes = progress->run->sizes;
    if (sizes.first == SIZE_UNKNOWN || sizes.second == SIZE_UNKNOWN) {
        ShowBytesRead(progress);
        return;
    }
    if (progress->percent == progress->shown || progress->percent <= PROGRESS_STARTED)
        return;
    char text[PROGRESS_TEXT_SIZE];
    std::snprintf(text, sizeof text, "\r%3d%%", progress->percent);
    PutProgress(progress, text, 4);
    progress->shown = progress->percent;
}

static void ClearProgress(const Progress &progress)
{
    if (progress.columns == 0)
        return;
    std::fprintf(stderr, "\r%*s\r", progress.columns, "");
    std::fflush(stderr);
}

// What Save result would write for the same run, from the one formatter it
// uses; the names as the report shows them.
static void FormatReport(const Options &options, const Comparison &run, ReportFileParts *parts)
{
    static char name1[REPORT_NAME_SIZE], name2[REPORT_NAME_SIZE];
    char verdict[VERDICT_SIZE], face[FACE_SIZE];
    TextNameOf(options.names[0], name1, sizeof name1);
    TextNameOf(options.names[1], name2, sizeof name2);
    // One name read from two places is two parts, not a file compared with itself.
    const char *second = options.parts.skip[0] == options.parts.skip[1] ? options.names[1] : "";
    ChooseVerdict(run.differences, run.sizes, options.names[0], second, options.settings, verdict, face);
    FormatReportFile(parts, name1, name2, face, verdict, run.report);
}

static bool WriteReportTo(FILE *stream, const ReportFileParts &parts)
{
    for (int index = 0; index < REPORT_FILE_PARTS; ++index) {
        int length = 0;
        const char *bytes = ReportFilePart(&parts, index, &length);
        if (!WriteText(stream, bytes, static_cast<size_t>(length)))
            return false;
    }
    return true;
}

static int ReportFailure(const Options &options, const Comparison &run)
{
    char name1[TEXT_NAME_SIZE], name2[TEXT_NAME_SIZE], text[MESSAGE_SIZE];
    TextNameOf(options.names[0], name1, sizeof name1);
    TextNameOf(options.names[1], name2, sizeof name2);
    DescribeFailure(run, name1, name2, text, sizeof text);
    WriteLine(stderr, text);
    return EXIT_TROUBLE;
}

// A failed write to standard output says why, as every failure does; a
// failure to write to standard error can only show in the exit status.
static int ReportStdoutFailure(int error)
{
    char reason[REASON_SIZE], text[MESSAGE_SIZE];
    TextNameOf(std::strerror(error), reason, sizeof reason);
    std::snprintf(text, sizeof text, STDOUT_FAILURE, reason);
    WriteLine(stderr, text);
    return EXIT_TROUBLE;
}

static int FinishOutput(bool written, int status)
{
    return written ? status : ReportStdoutFailure(errno);
}

// Saving over an input would lose it, so such a -o is refused before
// anything is read.
static bool ReportWouldReplaceAnInput(const Options &options)
{
    return options.reportPath && (ReportWouldReplace(options.reportPath, options.opened[0]) ||
                                  ReportWouldReplace(options.reportPath, options.opened[1]));
}

static const char REPORT_OVER_INPUT[] = "結果の保存先\r\n\"%s\"は比較するファイルです。上書きしません。";
static const char REPORT_NOT_SAVED[] = "ファイル\r\n\"%s\"が保存できません。";
static const char REPORT_NOT_SAVED_BECAUSE[] = "ファイル\r\n\"%s\"が保存できません（%s）。";

// format has one %s for the report's path and, where reason is given, a
// second for the system's reason.
static int ReportSaveTrouble(const char *format, const char *path, const char *reason = nullptr)
{
    char name[TEXT_NAME_SIZE], reasonText[REASON_SIZE], text[MESSAGE_SIZE];
    TextNameOf(path, name, sizeof name);
    if (reason)
        TextNameOf(reason, reasonText, sizeof reasonText);
    std::snprintf(text, sizeof text, format, name, reason ? reasonText : "");
    WriteLine(stderr, text);
    return EXIT_TROUBLE;
}

// The system's reason, where the save gave one.
static int ReportNotSaved(const char *path, int error)
{
    if (error == 0)
        return ReportSaveTrouble(REPORT_NOT_SAVED, path);
    return ReportSaveTrouble(REPORT_NOT_SAVED_BECAUSE, path, std::strerror(error));
}

static int CompareAndReport(const Options &options)
{
    if (ReportWouldReplaceAnInput(options))
        return ReportSaveTrouble(REPORT_OVER_INPUT, options.reportPath);
    static Comparison run;
    Progress progress = {!options.quiet && IsTerminal(stderr), &run, MillisecondsNow(), 0, 0, 0, 0};
    const ProgressSink sink = {ShowProgress, &progress};
    const StretchSink ownListing = {nullptr, nullptr};
    CompareFileParts(options.opened[0], options.opened[1], options.settings, options.parts, sink, ownListing,
                     &run, INPUT_NAME_SIZE);
    ClearProgress(progress);
    if (run.end != COMPARISON_COMPLETE)
        return ReportFailure(options, run);
    static ReportFileParts parts;
    FormatReport(options, run, &parts);
    // The report is saved before anything is printed, so a run that could
    // not save it ends with its error alone.
    errno = 0;
    if (options.reportPath && !WriteReportFile(options.reportPath, parts))
        return ReportNotSaved(options.reportPath, errno);
    bool same = run.differences == 0 && run.sizes.first == run.sizes.second;
    int status = same ? EXIT_SAME : EXIT_DIFFERENT;
    return options.quiet ? status : FinishOutput(WriteReportTo(stdout, parts), status);
}

// cmp's words for an input that ended before the other and the limit, and
// its bytes of the name.
static void ReportEndOfShorter(const Options &options, const Comparison &run)
{
    static const char START[] = "tlcmp: EOF on ";
    int shorter = run.sizes.first < run.sizes.second ? 0 : 1;
    int64_t size = shorter == 0 ? run.sizes.first : run.sizes.second;
    char end[MESSAGE_SIZE];
    if (size == 0)
        std::snprintf(end, sizeof end, " which is empty");
    else
        std::snprintf(end, sizeof end, " after byte %lld", static_cast<long long>(size));
    if (WriteText(stderr, START, std::strlen(START)) && WriteTypedName(stderr, options.names[shorter]))
        WriteLine(stderr, end);
}

// The length of a part as the stated size of its input tells it, which is
// what sets cmp's column width; SIZE_UNKNOWN where no size is stated.
static int64_t StatedLengthOf(const char *opened, int64_t skip)
{
    int64_t size = 0, start = 0;
    if (!StatedSizeOf(opened, &size, &start))
        return SIZE_UNKNOWN;
    // Nothing is left of a file skipped past its stated end.
    return size - start > skip ? size - start - skip : 0;
}

static int CompareAndList(const Options &options)
{
    static Comparison run;
    WidenPipe(stdout);
    // Taken as the inputs are opened, before anything is read.
    const int64_t stated[2] = {StatedLengthOf(options.opened[0], options.parts.skip[0]),
                               StatedLengthOf(options.opened[1], options.parts.skip[1])};
    bool written = ListDifferences(options.opened[0], options.opened[1], options.parts, stated, stdout, &run,
                                   INPUT_NAME_SIZE);
    if (!written)
        return ReportStdoutFailure(errno);
    if (run.end != COMPARISON_COMPLETE)
        return ReportFailure(options, run);
    if (run.sizes.first != run.sizes.second)
        ReportEndOfShorter(options, run);
    bool same = run.differences == 0 && run.sizes.first == run.sizes.second;
    return same ? EXIT_SAME : EXIT_DIFFERENT;
}

int main(int argc, char **argv)
{
    Options options = {};
    options.request = REQUEST_COMPARE;
    options.settings = DefaultSettings();
    options.parts.limit = NO_LIMIT;
    ReadArguments(argc, argv, &options);
    StartConsole(options.rawShiftJis);
    if (options.fault != FAULT_NONE)
        return ReportArgumentFault(options);
    switch (options.request) {
    case REQUEST_HELP:
        return FinishOutput(WriteText(stdout, USAGE_LINE, std::strlen(USAGE_LINE)) &&
                            WriteText(stdout, HELP_TEXT, std::strlen(HELP_TEXT)), EXIT_SAME);
    case REQUEST_VERSION:
        return FinishOutput(WriteLine(stdout, "tlcmp (Tarnlight) " TARNLIGHT_VERSION), EXIT_SAME);
    case REQUEST_COMPARE:
        break;
    }
    return options.listAll ? CompareAndList(options) : CompareAndReport(options);
}
