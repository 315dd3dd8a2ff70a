// File access of the comparison on POSIX systems (the native build and its
// tests): open, read and stat. The single system read and the block buffers
// are in source_read_posix.cpp, which a test may replace at link time.
#include "compare/source_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#ifdef __linux__
#include <linux/magic.h>
#include <sys/vfs.h>
#endif
#include <unistd.h>

static const char STANDARD_INPUT_PATH[] = "/dev/stdin";

bool OpenSourceFile(const char *name, SourceFile *file)
{
    // Standard input is taken as it stands: a socket cannot be opened again,
    // and a file redirected in keeps its position.
    int fd = std::strcmp(name, STANDARD_INPUT_PATH) == 0 ? dup(STDIN_FILENO) : open(name, O_RDONLY);
    if (fd < 0)
        return false;
    // A folder opens here, but cannot be compared.
    struct stat info;
    if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        close(fd);
        return false;
    }
    file->handle = fd;
    file->shared = std::strcmp(name, STANDARD_INPUT_PATH) == 0;
    return true;
}

void CloseSourceFile(SourceFile *file)
{
    close(static_cast<int>(file->handle));
    file->handle = -1;
}

// A regular file that says it is empty may still have bytes to give, as the
// files of /proc do; a read at offset 0 tells, without moving the file.
static bool ReallyEmpty(const SourceFile *file)
{
    unsigned char byte;
    return pread(static_cast<int>(file->handle), &byte, 1, 0) == 0;
}

// The files of /proc and /sys give sizes that say nothing of their content.
static bool OnPseudoFileSystem(int fd)
{
#ifdef __linux__
    struct statfs system;
    return fstatfs(fd, &system) == 0 && (system.f_type == PROC_SUPER_MAGIC || system.f_type == SYSFS_MAGIC);
#else
    (void)fd;
    return false;
#endif
}

int64_t SourceSizeOf(const char *, const SourceFile *file)
{
    int fd = static_cast<int>(file->handle);
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || OnPseudoFileSystem(fd))
        return SIZE_UNKNOWN;
    // A file that stands elsewhere than at its start (standard input, read
    // in part before) is read from there to its end.
    if (lseek(fd, 0, SEEK_CUR) != 0 || (info.st_size == 0 && !ReallyEmpty(file)))
        return SIZE_UNKNOWN;
    return info.st_size;
}

SourceStamp StampOfSourceFile(const SourceFile *file)
{
    SourceStamp stamp = {};
    struct stat info;
    if (fstat(static_cast<int>(file->handle), &info) != 0 || !S_ISREG(info.st_mode))
        return stamp;
    stamp.known = true;
    stamp.size = info.st_size;
    stamp.writeTime = static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    return stamp;
}

bool SeekSourceFile(SourceFile *file, int64_t offset)
{
    return lseek(static_cast<int>(file->handle), static_cast<off_t>(offset), SEEK_SET) == offset;
}

int64_t ReadSourceFile(SourceFile *file, unsigned char *buffer, int64_t length)
{
    int64_t done = 0;
    while (done < length) {
        int64_t got = ReadSourceOnce(file, buffer + done, length - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return -1;
        if (got == 0)
            break;
        done += got;
    }
    return done;
}
