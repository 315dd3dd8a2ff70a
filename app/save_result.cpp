// Save result: the save dialog on the shared record, then the report file
// written safely, or the box that says it could not be.
#include "app/app.h"

#include <cstdio>

#include "compare/compare.h"

// Label, pattern, and the empty string that ends the list. The save filter
// lists every file although its label names only text files, so a report can
// be saved under any ending. The filter left behind has no space before the
// parenthesis, unlike the start-up one: users have always seen it change so.
static const char SAVE_FILTER[] = "テキストファイル(*.txt)\0*.*\0";
static const char AFTER_SAVE_FILTER[] = "全てのファイル(*.*)\0*.*\0";

enum { BOX_TEXT_SIZE = NAME_SIZE + 64 };

static void ShowSaveError(HWND panel, const char *path)
{
    char text[BOX_TEXT_SIZE];
    std::snprintf(text, sizeof text, "ファイル\r\n\"%s\"が保存できません。", path);
    ShowErrorBox(panel, text);
}

void SaveResult(HWND panel)
{
    g_fileDialog.lpstrFilter = SAVE_FILTER;
    if (GetSaveFileNameA(&g_fileDialog)) {
        static ReportFileParts parts;
        FormatLastResult(&parts);
        if (!WriteReportFile(g_dialogFileName, parts))
            ShowSaveError(panel, g_dialogFileName);
    }
    g_fileDialog.lpstrFilter = AFTER_SAVE_FILTER;
}
