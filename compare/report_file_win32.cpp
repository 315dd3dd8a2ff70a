// Writing the report file on Windows: beside the chosen file first, then
// moved over it, so that no failure can cost the user the file it replaces.
#include "compare/report_file.h"

#include <windows.h>

#include <cstring>

enum {
    PATH_SIZE = MAX_PATH,
    TEMP_NAME_MAX = 8,          // "~" and up to seven letters or digits
    TEMP_NAME_TRIES = 256,
    TEMP_NAME_STRIDE = 7919     // prime: coprime with every power of 36
};

static const char TEMP_NAME_LETTERS[] = "0123456789abcdefghijklmnopqrstuvwxyz";

static bool IsReadOnlyFile(const char *path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

// The full form of path in full, and the offset of its name part there.
// GetFullPathNameA finds the name part; a byte scan for '\\' would split
// Shift-JIS characters whose trail byte is 0x5C.
static bool SplitFullPath(const char *path, char *full, DWORD size, size_t *nameAt)
{
    char *namePart = NULL;
    DWORD length = GetFullPathNameA(path, size, full, &namePart);
    if (length == 0 || length >= size || namePart == NULL || *namePart == '\0')
        return false;
    *nameAt = static_cast<size_t>(namePart - full);
    return true;
}

// Candidate number `value` as a name of `length` characters: "~" and base-36
// digits, or a single digit or letter when only one character fits.
static void FormatTempName(unsigned value, size_t length, char *name)
{
    size_t at = 0;
    if (length > 1)
        name[at++] = '~';
    for (; at < length; ++at) {
        name[at] = TEMP_NAME_LETTERS[value % 36];
        value /= 36;
    }
    name[length] = '\0';
}

// Creates a new, empty file in the target's folder whose name is no longer
// than the target's own, so its path fits wherever the target's fits; an
// existing file is never opened. Leaves its path in tempPath.
static HANDLE CreateTempBeside(const char *full, size_t nameAt, char *tempPath)
{
    size_t nameLength = std::strlen(full + nameAt);
    size_t length = nameLength < size_t(TEMP_NAME_MAX) ? nameLength : size_t(TEMP_NAME_MAX);
    unsigned seed = GetTickCount() ^ (GetCurrentProcessId() << 12);
    std::memcpy(tempPath, full, nameAt);
    for (unsigned attempt = 0; attempt < TEMP_NAME_TRIES; ++attempt) {
        char *name = tempPath + nameAt;
        FormatTempName(seed + attempt * TEMP_NAME_STRIDE, length, name);
        if (lstrcmpiA(name, full + nameAt) == 0)
            continue;
        HANDLE file = CreateFileA(tempPath, GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
        if (file != INVALID_HANDLE_VALUE)
            return file;
        DWORD error = GetLastError();
        // Taken by a file, or by a folder of that name: try the next one.
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS && error != ERROR_ACCESS_DENIED)
            break;
    }
    return INVALID_HANDLE_VALUE;
}

// What the user may have set on the old file that a new one can take; a
// read-only file is never replaced.
static const DWORD KEPT_ATTRIBUTES = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                     FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

static bool FileExists(const char *path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

// An empty new file beside target, for ReplaceFileA to move the old file to.
static bool ReserveBackupBeside(const char *target, char *backupPath)
{
    char full[PATH_SIZE];
    size_t nameAt = 0;
    if (!SplitFullPath(target, full, sizeof full, &nameAt))
        return false;
    HANDLE file = CreateTempBeside(full, nameAt, backupPath);
    return file != INVALID_HANDLE_VALUE && CloseHandle(file);
}

// Puts the written file at tempPath in place of target (a full path). An
// existing target is replaced by ReplaceFileA, which keeps its attributes and
// security descriptor. The old file goes to a backup name meanwhile: without
// one, ERROR_UNABLE_TO_MOVE_REPLACEMENT leaves nothing under target's name,
// and with one, ERROR_UNABLE_TO_MOVE_REPLACEMENT_2 leaves the old file under
// the backup name only, so it is moved back. False when the new file is not
// in place; tempPath is then the caller's to delete.
static bool PutReportInPlace(const char *tempPath, const char *target)
{
    DWORD attributes = GetFileAttributesA(target);
    // Not replacing: a file that appeared meanwhile makes the move fail.
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return MoveFileExA(tempPath, target, MOVEFILE_WRITE_THROUGH) != FALSE;
    // Wine's ReplaceFileA carries no attributes over; set on the new file
    // first, they hold there too.
    if ((attributes & KEPT_ATTRIBUTES) != 0)
        SetFileAttributesA(tempPath, attributes & KEPT_ATTRIBUTES);
    char backupPath[PATH_SIZE];
    if (!ReserveBackupBeside(target, backupPath))
        return false;
    bool replaced = ReplaceFileA(target, tempPath, backupPath, REPLACEFILE_IGNORE_MERGE_ERRORS, NULL, NULL) != FALSE;
    if (!replaced && !FileExists(target))
        MoveFileExA(backupPath, target, MOVEFILE_WRITE_THROUGH);
    // Should even that fail, the backup is all that is left of the old file.
    if (FileExists(target))
        DeleteFileA(backupPath);
    return replaced;
}

static bool WriteParts(HANDLE file, const ReportFileParts &parts)
{
    bool written = true;
    for (int index = 0; index < REPORT_FILE_PARTS && written; ++index) {
        int length = 0;
        const char *bytes = ReportFilePart(&parts, index, &length);
        written = WriteReportBytes(file, bytes, length);
    }
    return written;
}

// Writes the whole report and makes sure it reached the disk; closes file.
static bool WriteReportInto(HANDLE file, const ReportFileParts &parts)
{
    bool written = WriteParts(file, parts) && FlushFileBuffers(file);
    bool closed = CloseHandle(file) != FALSE;
    return written && closed;
}

// Whether path names an existing device (NUL, CON, a pipe): written into as
// a redirection would, never replaced by a file.
static bool IsExistingDevice(const char *path)
{
    HANDLE file = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool device = GetFileType(file) != FILE_TYPE_DISK;
    CloseHandle(file);
    return device;
}

static bool WriteStraightInto(const char *path, const ReportFileParts &parts)
{
    HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool written = WriteParts(file, parts);
    return CloseHandle(file) && written;
}

// The volume and the file index name a file whatever path reaches it.
static bool IdentityOf(const char *path, BY_HANDLE_FILE_INFORMATION *info)
{
    HANDLE file = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool known = GetFileInformationByHandle(file, info) != FALSE;
    CloseHandle(file);
    return known;
}

bool ReportWouldReplace(const char *path, const char *input)
{
    BY_HANDLE_FILE_INFORMATION target, source;
    return IdentityOf(path, &target) && IdentityOf(input, &source) &&
           target.dwVolumeSerialNumber == source.dwVolumeSerialNumber &&
           target.nFileIndexHigh == source.nFileIndexHigh && target.nFileIndexLow == source.nFileIndexLow;
}

bool WriteReportFile(const char *path, const ReportFileParts &parts)
{
    if (IsExistingDevice(path))
        return WriteStraightInto(path, parts);
    if (IsReadOnlyFile(path))
        return false;
    char full[PATH_SIZE];
    char tempPath[PATH_SIZE];
    size_t nameAt = 0;
    if (!SplitFullPath(path, full, sizeof full, &nameAt))
        return false;
    HANDLE temp = CreateTempBeside(full, nameAt, tempPath);
    if (temp == INVALID_HANDLE_VALUE)
        return false;
    // Only a whole new file takes the old one's place; while another program
    // holds the old file open, it stays as it was.
    if (WriteReportInto(temp, parts) && PutReportInPlace(tempPath, full))
        return true;
    DeleteFileA(tempPath);
    return false;
}
