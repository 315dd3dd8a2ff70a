// File access of the comparison on POSIX systems (the native build and its
// tests): open, read and stat. The single system read and the block buffers
// are in source_read_posix.cpp, which a test may replace at link time.
#include "compare/source_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool OpenSourceFile(const char *name, SourceFile *file)
{
    int fd = open(name, O_RDONLY);
    if (fd < 0)
        return false;
    // A folder opens here, but cannot be compared.
    struct stat info;
    if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        close(fd);
        return false;
    }
    file->handle = fd;
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

int64_t SourceSizeOf(const char *, const SourceFile *file)
{
    struct stat info;
    if (fstat(static_cast<int>(file->handle), &info) != 0 || !S_ISREG(info.st_mode))
        return SIZE_UNKNOWN;
    if (info.st_size == 0 && !ReallyEmpty(file))
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
