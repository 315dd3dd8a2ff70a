// Writing the report file on POSIX systems: into a new file beside the chosen
// one, flushed to the disk, then renamed over it, so that no failure can cost
// the user the file it replaces.
#include "compare/report_file.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

enum { TEMP_NAME_SIZE = 4096 };

// The new file gets the old file's permissions, or those a newly created
// file would get.
static mode_t ModeForReport(const struct stat *old, bool exists)
{
    if (exists)
        return old->st_mode & 07777;
    mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// "FOLDER/.trlXXXXXX" beside path; false when it does not fit.
static bool TempPatternFor(const char *path, char *pattern, size_t size)
{
    const char *slash = std::strrchr(path, '/');
    int folderLength = slash ? static_cast<int>(slash - path + 1) : 0;
    int length = std::snprintf(pattern, size, "%.*s.trlXXXXXX", folderLength, path);
    return length > 0 && static_cast<size_t>(length) < size;
}

static bool WriteAll(int fd, const char *bytes, int length)
{
    while (length > 0) {
        ssize_t done = write(fd, bytes, static_cast<size_t>(length));
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return false;
        bytes += done;
        length -= static_cast<int>(done);
    }
    return true;
}

// Writes the whole report and makes sure it reached the disk; closes fd.
static bool WriteReportInto(int fd, mode_t mode, const ReportFileParts &parts)
{
    bool written = fchmod(fd, mode) == 0;
    for (int index = 0; index < REPORT_FILE_PARTS && written; ++index) {
        int length = 0;
        const char *bytes = ReportFilePart(&parts, index, &length);
        written = WriteAll(fd, bytes, length);
    }
    written = written && fsync(fd) == 0;
    bool closed = close(fd) == 0;
    return written && closed;
}

// Once the rename is done the new file stands; syncing its folder only makes
// the rename itself survive a crash, so a failure there changes nothing.
static void SyncFolderOf(const char *tempPath)
{
    char folder[TEMP_NAME_SIZE];
    std::snprintf(folder, sizeof folder, "%s", tempPath);
    char *slash = std::strrchr(folder, '/');
    if (slash)
        slash[1] = '\0';
    else
        std::snprintf(folder, sizeof folder, ".");
    int fd = open(folder, O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

bool WriteReportFile(const char *path, const ReportFileParts &parts)
{
    struct stat old;
    bool exists = stat(path, &old) == 0;
    // As on Windows, a file without write permission is not replaced.
    if (exists && S_ISREG(old.st_mode) && (old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return false;
    char tempPath[TEMP_NAME_SIZE];
    if (!TempPatternFor(path, tempPath, sizeof tempPath))
        return false;
    int fd = mkstemp(tempPath);
    if (fd < 0)
        return false;
    if (WriteReportInto(fd, ModeForReport(&old, exists), parts) && rename(tempPath, path) == 0) {
        SyncFolderOf(tempPath);
        return true;
    }
    unlink(tempPath);
    return false;
}
