// Times the Compare command of running programs under Wine, as a user's click
// would reach it: from another process, SendMessage(WM_COMMAND, Compare) to
// the main window until it returns, with the window shown and hidden. Prints
// the median milliseconds per program, pair and visibility.
//   compare_timer RUNS -p LABEL PROGRAM [-p ...] -f LABEL FIRST SECOND [-f ...]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "bench/main_window.h"

enum {
    START_LIMIT_MS = 30000,
    SETTLE_MS = 30,             // lets the program paint what the last step changed
    TEXT_SIZE = 256
};

struct Program {
    const char *label;
    const char *path;
    PROCESS_INFORMATION process;
    HWND mainWindow;
    HWND panel;
};

struct Pair {
    const char *label;
    const char *first;
    const char *second;
};

// Milliseconds of each run, per program, visibility (0 shown, 1 hidden) and pair.
typedef std::vector<double> Samples;

static double MillisecondsSince(const LARGE_INTEGER &start)
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart - start.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

static bool Answers(HWND window)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result) != 0;
}

// Started with no names: the fields are filled by this driver.
static bool StartProgram(Program *program)
{
    char commandLine[MAX_PATH + 4];
    std::snprintf(commandLine, sizeof commandLine, "\"%s\"", program->path);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessA(NULL, commandLine, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &program->process))
        return false;
    WaitForInputIdle(program->process.hProcess, START_LIMIT_MS);
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    program->mainWindow = NULL;
    while (program->mainWindow == NULL && MillisecondsSince(start) < START_LIMIT_MS) {
        program->mainWindow = FindMainWindow(program->process.dwProcessId);
        Sleep(10);
    }
    program->panel = FindPanel(program->mainWindow);
    return program->panel != NULL && Answers(program->mainWindow);
}

static void StopProgram(Program *program)
{
    if (program->mainWindow != NULL)
        PostMessageA(program->mainWindow, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(program->process.hProcess, 10000) != WAIT_OBJECT_0)
        TerminateProcess(program->process.hProcess, 1);
    CloseHandle(program->process.hThread);
    CloseHandle(program->process.hProcess);
}

static void Settle(HWND window)
{
    Answers(window);
    Sleep(SETTLE_MS);
    Answers(window);
}

static void FillFields(const Program *program, const Pair *pair)
{
    SendDlgItemMessageA(program->panel, IDC_FILE1, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(pair->first));
    SendDlgItemMessageA(program->panel, IDC_FILE2, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(pair->second));
    Settle(program->mainWindow);
}

static double TimeCompare(const Program *program)
{
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    SendMessageA(program->mainWindow, WM_COMMAND, IDM_COMPARE, 0);
    double ms = MillisecondsSince(start);
    Settle(program->mainWindow);
    return ms;
}

static void ReadVerdict(const Program *program, char *text)
{
    text[0] = '\0';
    SendDlgItemMessageA(program->panel, IDC_MESSAGE, WM_GETTEXT, TEXT_SIZE, reinterpret_cast<LPARAM>(text));
}

static bool SetShown(const Program *program, bool shown)
{
    ShowWindow(program->mainWindow, shown ? SW_SHOW : SW_HIDE);
    Settle(program->mainWindow);
    // A first Compare in the new state, untimed: whatever the change left
    // to paint or to map is done by then.
    TimeCompare(program);
    return (IsWindowVisible(program->mainWindow) != FALSE) == shown;
}

static double Median(Samples samples)
{
    std::sort(samples.begin(), samples.end());
    size_t n = samples.size();
    return n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
}

static bool ReadArguments(int argc, char **argv, int *runs, std::vector<Program> *programs, std::vector<Pair> *pairs)
{
    if (argc < 2)
        return false;
    *runs = std::atoi(argv[1]);
    for (int i = 2; i < argc;) {
        if (std::strcmp(argv[i], "-p") == 0 && i + 2 < argc) {
            Program program = {argv[i + 1], argv[i + 2], {}, NULL, NULL};
            programs->push_back(program);
            i += 3;
        } else if (std::strcmp(argv[i], "-f") == 0 && i + 3 < argc) {
            Pair pair = {argv[i + 1], argv[i + 2], argv[i + 3]};
            pairs->push_back(pair);
            i += 4;
        } else {
            return false;
        }
    }
    return *runs > 0 && !programs->empty() && !pairs->empty();
}

int main(int argc, char **argv)
{
    int runs = 0;
    std::vector<Program> programs;
    std::vector<Pair> pairs;
    if (!ReadArguments(argc, argv, &runs, &programs, &pairs)) {
        std::fprintf(stderr, "usage: compare_timer RUNS -p LABEL PROGRAM [-p ...] -f LABEL FIRST SECOND [-f ...]\n");
        return 2;
    }
    for (Program &program : programs) {
        if (!StartProgram(&program)) {
            std::fprintf(stderr, "cannot start %s\n", program.path);
            return 1;
        }
    }

    // samples[program][visibility][pair]; the programs take turns within
    // every round, so a slow spell of the machine falls on all of them.
    std::vector<std::vector<std::vector<Samples>>> samples(
        programs.size(), std::vector<std::vector<Samples>>(2, std::vector<Samples>(pairs.size())));
    for (int round = 0; round < runs; ++round) {
        for (int hidden = 0; hidden < 2; ++hidden) {
            for (size_t p = 0; p < programs.size(); ++p) {
                if (!SetShown(&programs[p], hidden == 0)) {
                    std::fprintf(stderr, "%s: the window would not be %s\n", programs[p].label,
                                 hidden ? "hidden" : "shown");
                    return 1;
                }
                for (size_t f = 0; f < pairs.size(); ++f) {
                    FillFields(&programs[p], &pairs[f]);
                    samples[p][hidden][f].push_back(TimeCompare(&programs[p]));
                }
            }
        }
    }

    // Every program must have judged every pair alike, or the timings mean nothing.
    for (size_t f = 0; f < pairs.size(); ++f) {
        char expected[TEXT_SIZE], verdict[TEXT_SIZE];
        for (size_t p = 0; p < programs.size(); ++p) {
            FillFields(&programs[p], &pairs[f]);
            TimeCompare(&programs[p]);
            ReadVerdict(&programs[p], p == 0 ? expected : verdict);
            if (expected[0] == '\0' || (p > 0 && std::strcmp(expected, verdict) != 0)) {
                std::fprintf(stderr, "%s: no verdict or not the same verdict on %s\n", programs[p].label, pairs[f].label);
                return 1;
            }
        }
    }
    for (Program &program : programs)
        StopProgram(&program);

    std::printf("%-10s %-10s %10s %10s %13s\n", "pair", "program", "shown ms", "hidden ms", "shown/hidden");
    for (size_t f = 0; f < pairs.size(); ++f) {
        for (size_t p = 0; p < programs.size(); ++p) {
            double shown = Median(samples[p][0][f]);
            double hidden = Median(samples[p][1][f]);
            std::printf("%-10s %-10s %10.1f %10.1f %13.2f\n", pairs[f].label, programs[p].label, shown, hidden,
                        shown / hidden);
        }
    }
    if (programs.size() > 1) {
        for (size_t f = 0; f < pairs.size(); ++f) {
            std::printf("%s, window shown: %s / %s = %.2f\n", pairs[f].label, programs.back().label,
                        programs.front().label,
                        Median(samples.back()[0][f]) / Median(samples.front()[0][f]));
        }
    }
    return 0;
}
