// The result buffers: the last run's names and texts, kept for the panel and
// for saving until the next run starts.
#include "compare/compare.h"

char g_fileName1[NAME_SIZE];
char g_fileName2[NAME_SIZE];
char g_reportText[REPORT_SIZE];
char g_verdictLine[VERDICT_SIZE];
char g_face[FACE_SIZE];

void FormatLastResult(ReportFileParts *parts)
{
    FormatReportFile(parts, g_fileName1, g_fileName2, g_face, g_verdictLine, g_reportText);
}
