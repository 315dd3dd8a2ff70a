// The verdict of a run: one sentence and a five-character face chosen from
// the difference count and the sizes, then all three texts onto the panel.
#include "compare/compare.h"

#include <cstdio>
#include <cstring>

#include "app/ids.h"
#include "settings/settings.h"

static void SetVerdict(const char *line, const char *face)
{
    std::snprintf(g_verdictLine, VERDICT_SIZE, "%s", line);
    std::snprintf(g_face, FACE_SIZE, "%s", face);
}

// Whether the count is the exact number of differing bytes, so it can be told.
static bool CountIsExact(int64_t differences)
{
    if (g_settings.compcancel == STOP_AT_END)
        return true;
    return g_settings.compcancel == STOP_AT_MAX && differences <= g_settings.maxdiffno;
}

static void ChooseVerdict(int64_t differences, FileSizes sizes)
{
    if (differences != 0 && CountIsExact(differences)) {
        std::snprintf(g_verdictLine, VERDICT_SIZE, "合計%lld箇所違います。", static_cast<long long>(differences));
        std::snprintf(g_face, FACE_SIZE, "(ToT)");
    } else if (differences != 0) {
        SetVerdict("違う内容のファイルです。", "(ToT)");
    } else if (sizes.first != sizes.second) {
        int64_t shorter = sizes.first < sizes.second ? sizes.first : sizes.second;
        int64_t extra = sizes.first < sizes.second ? sizes.second - sizes.first : sizes.first - sizes.second;
        std::snprintf(g_verdictLine, VERDICT_SIZE, "先頭から %lldバイトまでは等しく、%lldバイト余分です。",
                      static_cast<long long>(shorter), static_cast<long long>(extra));
        std::snprintf(g_face, FACE_SIZE, "(~_~)");
    } else if (sizes.first == 0) {
        SetVerdict("同じ内容のファイルです。両方とも空だけど・・・", "(^-^;");
    } else if (std::strcmp(g_fileName1, g_fileName2) == 0) {
        SetVerdict("本当に同一のファイルです。(当たり前)", "(^-^;");
    } else {
        SetVerdict("同じ内容のファイルです。", "(^-^)");
    }
}

void ShowVerdict(PanelWindow panel, int64_t differences, FileSizes sizes)
{
    ChooseVerdict(differences, sizes);
    SetPanelText(panel, IDC_MESSAGE, g_verdictLine);
    SetPanelText(panel, IDC_FACE, g_face);
    SetPanelText(panel, IDC_RESULT, g_reportText);
}
