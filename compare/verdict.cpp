// The verdict of a run: one sentence and a five-character face chosen from
// the difference count, the sizes and the names.
#include "compare/engine.h"

#include <cstdio>
#include <cstring>

static void SetVerdict(char *verdict, char *face, const char *line, const char *faceText)
{
    std::snprintf(verdict, VERDICT_SIZE, "%s", line);
    std::snprintf(face, FACE_SIZE, "%s", faceText);
}

// Whether the count is the exact number of differing bytes, so it can be told.
static bool CountIsExact(int64_t differences, const Settings &settings)
{
    if (settings.compcancel == STOP_AT_END)
        return true;
    return settings.compcancel == STOP_AT_MAX && differences <= settings.maxdiffno;
}

void ChooseVerdict(int64_t differences, FileSizes sizes, const char *name1, const char *name2,
                   const Settings &settings, char *verdict, char *face)
{
    if (differences != 0 && CountIsExact(differences, settings)) {
        std::snprintf(verdict, VERDICT_SIZE, "合計%lld箇所違います。", static_cast<long long>(differences));
        std::snprintf(face, FACE_SIZE, "(ToT)");
    } else if (differences != 0) {
        SetVerdict(verdict, face, "違う内容のファイルです。", "(ToT)");
    } else if (sizes.first != sizes.second) {
        int64_t shorter = sizes.first < sizes.second ? sizes.first : sizes.second;
        int64_t extra = sizes.first < sizes.second ? sizes.second - sizes.first : sizes.first - sizes.second;
        std::snprintf(verdict, VERDICT_SIZE, "先頭から %lldバイトまでは等しく、%lldバイト余分です。",
                      static_cast<long long>(shorter), static_cast<long long>(extra));
        std::snprintf(face, FACE_SIZE, "(~_~)");
    } else if (sizes.first == 0) {
        SetVerdict(verdict, face, "同じ内容のファイルです。両方とも空だけど・・・", "(^-^;");
    } else if (std::strcmp(name1, name2) == 0) {
        SetVerdict(verdict, face, "本当に同一のファイルです。(当たり前)", "(^-^;");
    } else {
        SetVerdict(verdict, face, "同じ内容のファイルです。", "(^-^)");
    }
}
