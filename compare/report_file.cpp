// The bytes of the report file; no window system here, so the format is
// tested natively.
#include "compare/report_file.h"

#include <cstdio>
#include <cstring>

void FormatReportFile(ReportFileParts *parts, const char *name1, const char *name2,
                      const char *face, const char *verdict, const char *report)
{
    std::snprintf(parts->names, sizeof parts->names, "ファイル1　%s\r\nファイル2　%s\r\n", name1, name2);
    std::snprintf(parts->rule, sizeof parts->rule, "\r\n----- 結果 -----\r\n\r\n");
    std::snprintf(parts->result, sizeof parts->result, "%s   %s\r\n\r\n%s",
                  face, verdict, report);
}

const char *ReportFilePart(const ReportFileParts *parts, int index, int *length)
{
    const char *bytes = index == 0 ? parts->names : index == 1 ? parts->rule : parts->result;
    *length = static_cast<int>(std::strlen(bytes));
    return bytes;
}
