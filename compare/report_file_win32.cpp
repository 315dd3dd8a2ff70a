// Writing the report file on Windows: beside the chosen file first, then
// moved over it, so that no failure can cost the user the file it replaces.
#include "compare/report_file.h"

#include <windows.h>

int g_failingReportWrite = -1;

enum { TEMP_NAME_SIZE = MAX_PATH };

static bool IsReadOnlyFile(const char *path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

// The folder part of path, with its trailing separator. GetFullPathNameA
// finds the name part; a byte scan for '\\' would split Shift-JIS characters
// whose trail byte is 0x5C.
static bool FolderOf(const char *path, char *folder, DWORD size)
{
    char *namePart = NULL;
    DWORD length = GetFullPathNameA(path, size, folder, &namePart);
    if (length == 0 || length >= size || namePart == NULL)
        return false;
    *namePart = '\0';
    return true;
}

static bool WritePart(HANDLE file, const char *bytes, int length, int index)
{
    DWORD written = 0;
    if (index == g_failingReportWrite) {
        WriteFile(file, bytes, static_cast<DWORD>(length / 2), &written, NULL);
        return false;
    }
    return WriteFile(file, bytes, static_cast<DWORD>(length), &written, NULL) &&
           written == static_cast<DWORD>(length);
}

// Writes the whole report and makes sure it reached the disk.
static bool WriteReportInto(const char *tempPath)
{
    HANDLE file = CreateFileA(tempPath, GENERIC_WRITE, 0, NULL, TRUNCATE_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    ReportFileParts parts;
    FormatReportFile(&parts);
    bool written = true;
    for (int index = 0; index < REPORT_FILE_PARTS && written; ++index) {
        int length = 0;
        const char *bytes = ReportFilePart(&parts, index, &length);
        written = WritePart(file, bytes, length, index);
    }
    written = written && FlushFileBuffers(file);
    bool closed = CloseHandle(file) != FALSE;
    return written && closed;
}

bool WriteReportFile(const char *path)
{
    if (IsReadOnlyFile(path))
        return false;
    char folder[TEMP_NAME_SIZE];
    char tempPath[TEMP_NAME_SIZE];
    if (!FolderOf(path, folder, sizeof folder) || GetTempFileNameA(folder, "trl", 0, tempPath) == 0)
        return false;
    // A rename within one folder either puts the whole new file in place or
    // leaves the old one as it was; it fails while another program holds the
    // old file open.
    if (WriteReportInto(tempPath) &&
        MoveFileExA(tempPath, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileA(tempPath);
    return false;
}
