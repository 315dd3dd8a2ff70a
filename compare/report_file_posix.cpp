// Writing the report file on POSIX systems: into a new file beside the chosen
// one, flushed to the disk, then renamed over it, so that no failure can cost
// the user the file it replaces. A link is followed and stays; a device, a
// FIFO or a terminal is written into, as a shell's redirection would.
#include "compare/report_file.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

enum { TEMP_NAME_SIZE = 4096, LINKS_FOLLOWED_AT_MOST = 40 };

// The new file gets the old file's permissions, or those a newly created
// file would get. Never its set-id bits: a report is no program to run as
// its owner.
static mode_t ModeForReport(const struct stat *old)
{
    if (old)
        return old->st_mode & 0777;
    mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// The new file takes the old one's owner and group where the system lets it
// (root gives any; an owner may give one of its own groups), so a root run
// over a user's report leaves it the user's. Where neither is allowed it
// stays this user's file, which is no reason to fail.
static void KeepOwnerOf(int fd, const struct stat *old)
{
    if (old && fchown(fd, old->st_uid, old->st_gid) != 0)
        static_cast<void>(fchown(fd, static_cast<uid_t>(-1), old->st_gid) == 0);
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
        if (done == 0)
            errno = EIO;
        if (done <= 0)
            return false;
        bytes += done;
        length -= static_cast<int>(done);
    }
    return true;
}

static bool WriteParts(int fd, const ReportFileParts &parts)
{
    bool written = true;
    for (int index = 0; index < REPORT_FILE_PARTS && written; ++index) {
        int length = 0;
        const char *bytes = ReportFilePart(&parts, index, &length);
        written = WriteAll(fd, bytes, length);
    }
    return written;
}

// Writes the whole report and makes sure it reached the disk; closes fd.
static bool WriteReportInto(int fd, const struct stat *old, const ReportFileParts &parts)
{
    KeepOwnerOf(fd, old);
    bool written = fchmod(fd, ModeForReport(old)) == 0 && WriteParts(fd, parts);
    written = written && fsync(fd) == 0;
    int error = errno;
    bool closed = close(fd) == 0;
    if (written)
        error = errno;
    errno = error;
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

// Into an existing node that is no regular file; replacing it would put a
// plain file where a device or a pipe stood.
static bool WriteStraightInto(const char *path, const ReportFileParts &parts)
{
    int fd = open(path, O_WRONLY | O_TRUNC);
    if (fd < 0)
        return false;
    bool written = WriteParts(fd, parts);
    int error = errno;
    bool closed = close(fd) == 0;
    if (written)
        error = errno;
    errno = error;
    return written && closed;
}

// The file that path names once every symbolic link on its last part is
// followed, so the link itself is kept; the target need not exist yet.
// False with errno set when that cannot be done.
static bool FollowLinks(const char *path, char *resolved, size_t size)
{
    errno = ENAMETOOLONG;
    if (std::snprintf(resolved, size, "%s", path) >= static_cast<int>(size))
        return false;
    for (int hop = 0; hop < LINKS_FOLLOWED_AT_MOST; ++hop) {
        struct stat info;
        if (lstat(resolved, &info) != 0 || !S_ISLNK(info.st_mode))
            return true;
        char target[TEMP_NAME_SIZE];
        ssize_t length = readlink(resolved, target, sizeof target - 1);
        if (length < 0)
            return false;
        errno = ENAMETOOLONG;
        if (static_cast<size_t>(length) >= sizeof target - 1)
            return false;
        target[length] = '\0';
        const char *slash = std::strrchr(resolved, '/');
        int folderLength = target[0] == '/' || !slash ? 0 : static_cast<int>(slash - resolved + 1);
        char next[TEMP_NAME_SIZE];
        int written = std::snprintf(next, sizeof next, "%.*s%s", folderLength, resolved, target);
        if (written < 0 || static_cast<size_t>(written) >= sizeof next || static_cast<size_t>(written) >= size)
            return false;
        std::memcpy(resolved, next, static_cast<size_t>(written) + 1);
    }
    errno = ELOOP;
    return false;
}

bool ReportWouldReplace(const char *path, const char *input)
{
    struct stat target, source;
    return stat(path, &target) == 0 && stat(input, &source) == 0 &&
           target.st_dev == source.st_dev && target.st_ino == source.st_ino;
}

// The descriptor of standard output or error when target is where it goes,
// by whatever name (/dev/stdout, /proc/self/fd/1, the file it is redirected
// to); -1 otherwise. Renaming over that file would cut it off from the
// stream, and opening it anew would empty what the stream already wrote.
static int StandardStreamAt(const struct stat &target)
{
    for (int fd = STDOUT_FILENO; fd <= STDERR_FILENO; ++fd) {
        struct stat info;
        if (fstat(fd, &info) == 0 && info.st_dev == target.st_dev && info.st_ino == target.st_ino)
            return fd;
    }
    return -1;
}

// Whether this user may write the existing file, as the shell's ">" finds
// out: by the effective ids, groups and access lists, never by mode bits
// alone, since the rename that replaces a file asks only for the folder. A
// file without any write bit is kept even from root, as a read-only file is
// on Windows.
static bool MayReplace(const char *path, const struct stat &old)
{
    if ((old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        errno = EACCES;
        return false;
    }
    return faccessat(AT_FDCWD, path, W_OK, AT_EACCESS) == 0;
}

bool WriteReportFile(const char *chosenPath, const ReportFileParts &parts)
{
    struct stat old;
    bool exists = stat(chosenPath, &old) == 0;
    int stream = exists ? StandardStreamAt(old) : -1;
    if (stream >= 0)
        return WriteParts(stream, parts);
    if (exists && !S_ISREG(old.st_mode) && !S_ISDIR(old.st_mode))
        return WriteStraightInto(chosenPath, parts);
    char path[TEMP_NAME_SIZE];
    if (!FollowLinks(chosenPath, path, sizeof path))
        return false;
    if (exists && S_ISREG(old.st_mode) && !MayReplace(path, old))
        return false;
    char tempPath[TEMP_NAME_SIZE];
    if (!TempPatternFor(path, tempPath, sizeof tempPath)) {
        errno = ENAMETOOLONG;
        return false;
    }
    int fd = mkstemp(tempPath);
    if (fd < 0)
        return false;
    if (WriteReportInto(fd, exists ? &old : nullptr, parts) && rename(tempPath, path) == 0) {
        SyncFolderOf(tempPath);
        return true;
    }
    int error = errno;
    unlink(tempPath);
    errno = error;
    return false;
}
