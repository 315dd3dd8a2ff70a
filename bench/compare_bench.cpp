// Runs one comparison of two named files and prints the verdict line
// (Shift-JIS), so a script can time the engine alone.
#include <cstdio>

#include "compare/engine.h"
#include "settings/settings.h"

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: compare_bench FILE1 FILE2\n");
        return 2;
    }
    static Comparison run;
    const Settings settings = DefaultSettings();
    const ProgressSink noProgress = {nullptr, nullptr};
    CompareFiles(argv[1], argv[2], settings, noProgress, &run);
    if (run.end != COMPARISON_COMPLETE) {
        char text[512];
        DescribeFailure(run, argv[1], argv[2], text, sizeof text);
        std::fprintf(stderr, "%s\n", text);
        return 1;
    }
    char verdict[VERDICT_SIZE], face[FACE_SIZE];
    ChooseVerdict(run.differences, run.sizes, argv[1], argv[2], settings, verdict, face);
    std::printf("%s\n", verdict);
    return 0;
}
