// Writing the report file on Windows: beside the chosen file first, then
// moved over it, so that no failure can cost the user the file it replaces.
// A link is followed to the file it names; a folder is never replaced.
#include "compare/report_file.h"

// GetFinalPathNameByHandleA came with Vista; both programs ask for Windows 7.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0601
#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

enum {
    PATH_SIZE = MAX_PATH,
    TEMP_NAME_MAX = 8,          // "~" and up to seven letters or digits
    TEMP_NAME_TRIES = 256,
    TEMP_NAME_STRIDE = 7919     // prime: coprime with every power of 36
};

static const char TEMP_NAME_LETTERS[] = "0123456789abcdefghijklmnopqrstuvwxyz";

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

// Sets errno, for the caller's message, from the system's error of the step
// that failed; always false. Win32 calls leave errno alone, so the clean-up
// after a failure keeps it.
static bool FailWith(DWORD error)
{
    switch (error) {
    case ERROR_NO_DATA:
    case ERROR_BROKEN_PIPE:
    case ERROR_PIPE_NOT_CONNECTED:  errno = EPIPE; break;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:      errno = ENOENT; break;
    case ERROR_DIRECTORY:           errno = EISDIR; break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:    errno = ENOSPC; break;
    case ERROR_FILENAME_EXCED_RANGE: errno = ENAMETOOLONG; break;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_UNABLE_TO_REMOVE_REPLACED:
    case ERROR_UNABLE_TO_MOVE_REPLACEMENT:
    case ERROR_UNABLE_TO_MOVE_REPLACEMENT_2: errno = EACCES; break;
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:         errno = EEXIST; break;
    case ERROR_INVALID_NAME:        errno = EINVAL; break;
    default:                        errno = EIO; break;
    }
    return false;
}

// A file whatever path reaches it: its volume and its index there.
struct FileIdentity {
    bool known;
    bool empty;
    DWORD volume;
    DWORD indexHigh;
    DWORD indexLow;
};

static FileIdentity IdentityOfHandle(HANDLE file)
{
    FileIdentity identity = {};
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileInformationByHandle(file, &info)) {
        identity.known = true;
        identity.empty = info.nFileSizeHigh == 0 && info.nFileSizeLow == 0;
        identity.volume = info.dwVolumeSerialNumber;
        identity.indexHigh = info.nFileIndexHigh;
        identity.indexLow = info.nFileIndexLow;
    }
    return identity;
}

// Links are followed; a folder opens too.
static HANDLE OpenToLookAt(const char *path)
{
    return CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS, NULL);
}

static FileIdentity IdentityOfPath(const char *path)
{
    FileIdentity identity = {};
    HANDLE file = OpenToLookAt(path);
    if (file != INVALID_HANDLE_VALUE) {
        identity = IdentityOfHandle(file);
        CloseHandle(file);
    }
    return identity;
}

static bool SameFile(FileIdentity one, FileIdentity other)
{
    return one.known && other.known && one.volume == other.volume && one.indexHigh == other.indexHigh &&
           one.indexLow == other.indexLow;
}

// A new empty file beside target, for ReplaceFileA to move the old file to.
static bool ReserveBackupBeside(const char *target, char *backupPath, FileIdentity *reserved)
{
    char full[PATH_SIZE];
    size_t nameAt = 0;
    if (!SplitFullPath(target, full, sizeof full, &nameAt))
        return false;
    HANDLE file = CreateTempBeside(full, nameAt, backupPath);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    *reserved = IdentityOfHandle(file);
    return CloseHandle(file) != FALSE;
}

// After ReplaceFileA, by its answer (error). Done, the backup holds the old
// file and goes once a file stands under target's name; after
// ERROR_UNABLE_TO_MOVE_REPLACEMENT_2 it holds the old file alone and is
// moved back; after any other failure it is the reserved empty file. FAT
// may give a renamed file a new index, or an old one to another file, so
// identity only ever keeps a file: a backup that is the report or the file
// under target's name stays, and the reserved file goes only while it is
// still that file and empty. True when the new file is in place.
static bool SettleReplace(const char *target, const char *backupPath, DWORD error, FileIdentity report,
                          FileIdentity reserved)
{
    FileIdentity backup = IdentityOfPath(backupPath);
    if (error == ERROR_SUCCESS) {
        FileIdentity standing = IdentityOfPath(target);
        if (standing.known && !SameFile(backup, standing) && !SameFile(backup, report))
            DeleteFileA(backupPath);
        return standing.known || FailWith(ERROR_FILE_NOT_FOUND);
    }
    if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2)
        MoveFileExA(backupPath, target, MOVEFILE_WRITE_THROUGH);
    else if (SameFile(backup, reserved) && backup.empty)
        DeleteFileA(backupPath);
    return FailWith(error);
}

// Gives the report at tempPath the new name target. Wine neither shows a
// link whose file is gone nor keeps it from a move, which would put the
// report in the link's place; a second name fails wherever the name is
// taken, so the report takes one and drops its own. Where a volume has no
// second names it has no links either (FAT), and the move fails when the
// name is taken, as on Windows.
static bool PutNewReport(const char *tempPath, const char *target)
{
    if (CreateHardLinkA(target, tempPath, NULL)) {
        DeleteFileA(tempPath);
        return true;
    }
    DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)
        return FailWith(error);
    return MoveFileExA(tempPath, target, MOVEFILE_WRITE_THROUGH) || FailWith(GetLastError());
}

// Puts the written file at tempPath in place of target (a full path). An
// existing target is replaced by ReplaceFileA, which keeps its attributes and
// security descriptor. The old file goes to a backup name meanwhile: without
// one, ERROR_UNABLE_TO_MOVE_REPLACEMENT leaves nothing under target's name,
// and with one, ERROR_UNABLE_TO_MOVE_REPLACEMENT_2 leaves the old file under
// the backup name only. False when the new file is not in place; tempPath is
// then the caller's to delete.
static bool PutReportInPlace(const char *tempPath, const char *target, FileIdentity old, FileIdentity report)
{
    if (!old.known)
        return PutNewReport(tempPath, target);
    // Wine's ReplaceFileA carries no attributes over; set on the new file
    // first, they hold there too.
    DWORD attributes = GetFileAttributesA(target);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & KEPT_ATTRIBUTES) != 0)
        SetFileAttributesA(tempPath, attributes & KEPT_ATTRIBUTES);
    char backupPath[PATH_SIZE];
    FileIdentity reserved = {};
    if (!ReserveBackupBeside(target, backupPath, &reserved))
        return FailWith(GetLastError());
    DWORD error = ReplaceFileA(target, tempPath, backupPath, REPLACEFILE_IGNORE_MERGE_ERRORS, NULL, NULL)
                      ? ERROR_SUCCESS
                      : GetLastError();
    return SettleReplace(target, backupPath, error, report, reserved);
}

static bool WriteParts(HANDLE file, const ReportFileParts &parts)
{
    for (int index = 0; index < REPORT_FILE_PARTS; ++index) {
        int length = 0;
        const char *bytes = ReportFilePart(&parts, index, &length);
        if (!WriteReportBytes(file, bytes, length))
            return FailWith(GetLastError());
    }
    return true;
}

// Writes the whole report and makes sure it reached the disk; closes file.
// identity: the new file's, to know it again after the replace. A failed
// close tells its reason only when the write told none.
static bool WriteReportInto(HANDLE file, const ReportFileParts &parts, FileIdentity *identity)
{
    bool written = WriteParts(file, parts) && (FlushFileBuffers(file) || FailWith(GetLastError()));
    *identity = IdentityOfHandle(file);
    bool closed = CloseHandle(file) != FALSE;
    return written && (closed || FailWith(GetLastError())) && identity->known;
}

// Into a device or a pipe, as a redirection would; closes file.
static bool WriteStraightInto(HANDLE file, const ReportFileParts &parts)
{
    bool written = WriteParts(file, parts);
    bool closed = CloseHandle(file) != FALSE;
    return written && (closed || FailWith(GetLastError()));
}

// A name of the pipe namespace.
static bool IsPipeName(const char *path)
{
    char full[PATH_SIZE];
    DWORD length = GetFullPathNameA(path, sizeof full, full, NULL);
    return length > 0 && length < sizeof full &&
           (_strnicmp(full, "\\\\.\\pipe\\", 9) == 0 || _strnicmp(full, "\\\\?\\pipe\\", 9) == 0);
}

// Only a file on a disk is opened to be known: each open of a pipe takes one
// of its instances, and opening a FIFO, which Wine shows without attributes,
// lets its writer go on before the comparison reads it.
static FileIdentity IdentityOfDiskFile(const char *path)
{
    FileIdentity none = {};
    if (IsPipeName(path) || GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
        return none;
    return IdentityOfPath(path);
}

bool ReportWouldReplace(const char *path, const char *input)
{
    FileIdentity target = IdentityOfDiskFile(path);
    return target.known && SameFile(target, IdentityOfDiskFile(input));
}

// The full path of the file that file is, without the "\\?\" the system puts
// before it; false when it has none or it does not fit in size.
static bool FinalPathOf(HANDLE file, char *path, size_t size)
{
    char final[PATH_SIZE + 8];
    DWORD length = GetFinalPathNameByHandleA(file, final, sizeof final, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0 || length >= sizeof final)
        return false;
    const char *start = final;
    if (std::strncmp(final, "\\\\?\\UNC\\", 8) == 0) {
        start = final + 6;      // "\\server\share\..."
        final[6] = '\\';
    } else if (std::strncmp(final, "\\\\?\\", 4) == 0) {
        start = final + 4;
    }
    return std::snprintf(path, size, "%s", start) < static_cast<int>(size);
}

// A pipe that tells when its reader is gone: a write to it fails then. Wine
// opens a FIFO of the Unix side as a pipe that is no named pipe and holds
// both of its ends itself, so a report written there could vanish unread.
static bool IsPipeWithReader(HANDLE file)
{
    DWORD flags = 0;
    return GetNamedPipeInfo(file, &flags, NULL, NULL, NULL) != FALSE;
}

enum TargetKind {
    TARGET_NEW,         // nothing there yet
    TARGET_FILE,        // a file to replace
    TARGET_DEVICE,      // a device or a pipe, written into as a redirection would
    TARGET_REFUSED      // errno says why
};

static TargetKind Refuse(DWORD error)
{
    FailWith(error);
    return TARGET_REFUSED;
}

// What the existing target, links followed, is; for a file its full path in
// target and its identity in old. writeError: why it did not open for
// writing, or ERROR_SUCCESS.
static TargetKind KindOfExisting(HANDLE existing, DWORD writeError, char *target, size_t size, FileIdentity *old)
{
    bool writable = writeError == ERROR_SUCCESS;
    DWORD type = GetFileType(existing);
    if (writable && (type == FILE_TYPE_CHAR || (type == FILE_TYPE_PIPE && IsPipeWithReader(existing))))
        return TARGET_DEVICE;
    if (writable && type == FILE_TYPE_PIPE) {
        errno = ENXIO;      // as a FIFO without a reader answers on Linux
        return TARGET_REFUSED;
    }
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(existing, &info))
        return Refuse(writable ? GetLastError() : writeError);
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return Refuse(ERROR_DIRECTORY);
    // The replace asks only its folder's leave: a file this user may not
    // write, or that another program keeps from writers, would go too.
    if (!writable)
        return Refuse(writeError);
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0)
        return Refuse(ERROR_ACCESS_DENIED);
    if (!FinalPathOf(existing, target, size))
        return Refuse(ERROR_FILENAME_EXCED_RANGE);
    *old = IdentityOfHandle(existing);
    return TARGET_FILE;
}

// Opened for writing where that is allowed, for a look only otherwise, with
// the write open's error in writeError. Each open of a pipe takes one of its
// instances, so a report that goes into one is written through this very
// handle.
static HANDLE OpenExisting(const char *path, DWORD *writeError)
{
    HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
    *writeError = file != INVALID_HANDLE_VALUE ? ERROR_SUCCESS : GetLastError();
    return file != INVALID_HANDLE_VALUE ? file : OpenToLookAt(path);
}

// Where a report for path goes. A link is followed here, so that the file it
// finally names is replaced and the link stays: the replace itself would
// move the link, or the folder it names, away. For a device, *device is the
// handle to write into.
static TargetKind ExamineTarget(const char *path, char *target, size_t size, FileIdentity *old, HANDLE *device)
{
    DWORD writeError = ERROR_SUCCESS;
    HANDLE existing = OpenExisting(path, &writeError);
    if (existing != INVALID_HANDLE_VALUE) {
        TargetKind kind = KindOfExisting(existing, writeError, target, size, old);
        if (kind == TARGET_DEVICE)
            *device = existing;
        else
            CloseHandle(existing);
        return kind;
    }
    // Nothing there, or a link whose file is gone: PutNewReport never gives
    // the report a name that is taken, so such a link stays.
    DWORD error = GetLastError();
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
        return Refuse(error);
    if (std::snprintf(target, size, "%s", path) >= static_cast<int>(size))
        return Refuse(ERROR_FILENAME_EXCED_RANGE);
    return TARGET_NEW;
}

// Writes the report beside target and moves it over the file there, if any.
static bool ReplaceWithReport(const char *target, FileIdentity old, const ReportFileParts &parts)
{
    char full[PATH_SIZE];
    char tempPath[PATH_SIZE];
    size_t nameAt = 0;
    if (!SplitFullPath(target, full, sizeof full, &nameAt))
        return FailWith(ERROR_FILENAME_EXCED_RANGE);
    HANDLE temp = CreateTempBeside(full, nameAt, tempPath);
    if (temp == INVALID_HANDLE_VALUE)
        return FailWith(GetLastError());
    FileIdentity report = {};
    if (!WriteReportInto(temp, parts, &report)) {
        DeleteFileA(tempPath);      // made new above, so only ever the report
        return false;
    }
    // Only a whole new file takes the old one's place; while another program
    // holds the old file open, it stays as it was.
    if (PutReportInPlace(tempPath, full, old, report))
        return true;
    if (SameFile(IdentityOfPath(tempPath), report))
        DeleteFileA(tempPath);
    return false;
}

bool WriteReportFile(const char *path, const ReportFileParts &parts)
{
    char target[PATH_SIZE];
    FileIdentity old = {};
    HANDLE device = INVALID_HANDLE_VALUE;
    switch (ExamineTarget(path, target, sizeof target, &old, &device)) {
    case TARGET_REFUSED:    return false;
    case TARGET_DEVICE:     return WriteStraightInto(device, parts);
    case TARGET_NEW:
    case TARGET_FILE:       break;
    }
    return ReplaceWithReport(target, old, parts);
}
