// Runs one comparison of two named files with a panel that does nothing and
// prints the verdict line (Shift-JIS), so a script can time the engine alone.
#include <cstdio>
#include <cstring>

#include "app/ids.h"
#include "compare/compare.h"
#include "settings/settings.h"

static const char *s_names[2];

void GetPanelText(PanelWindow, int id, char *text, int size)
{
    const char *name = id == IDC_FILE1 ? s_names[0] : id == IDC_FILE2 ? s_names[1] : "";
    std::snprintf(text, static_cast<size_t>(size), "%s", name);
}

void SetPanelText(PanelWindow, int, const char *) {}
void ShowProgressBar(PanelWindow) {}
void StepProgressBar(PanelWindow) {}
void HideProgressBar(PanelWindow) {}
void ResetProgressBar(PanelWindow) {}
void KeepPanelPainted(PanelWindow, bool) {}
void FocusPanelControl(PanelWindow, int) {}

void ShowErrorBox(PanelWindow, const char *text)
{
    std::fprintf(stderr, "%s\n", text);
}

int32_t ReadSetting(SettingKey, const char *)
{
    return -1;
}

void WriteSetting(SettingKey, const char *, int32_t) {}

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: compare_bench FILE1 FILE2\n");
        return 2;
    }
    s_names[0] = argv[1];
    s_names[1] = argv[2];
    g_settings = DefaultSettings();
    RunComparison(nullptr);
    std::printf("%s\n", g_verdictLine);
    return g_verdictLine[0] ? 0 : 1;
}
