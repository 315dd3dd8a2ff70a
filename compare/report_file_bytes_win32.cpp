// One write of the report file on Windows. Alone in its file so that a test
// can link a failing write in its place; the program has no test switch.
#include "compare/report_file.h"

#include <windows.h>

bool WriteReportBytes(void *file, const char *bytes, int length)
{
    DWORD written = 0;
    return WriteFile(static_cast<HANDLE>(file), bytes, static_cast<DWORD>(length), &written, NULL) &&
           written == static_cast<DWORD>(length);
}
