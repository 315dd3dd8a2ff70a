// File access of the comparison on POSIX systems (the native build and its
// tests): open, read, stat. Carries the tests' fault-injection hooks.
#include "compare/source_file.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

SourceTestHooks g_sourceTestHooks;

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

int64_t SourceSizeOf(const char *name, const SourceFile *file)
{
    struct stat info;
    if (stat(name, &info) == 0)
        return info.st_size;
    if (fstat(static_cast<int>(file->handle), &info) == 0)
        return info.st_size;
    return 0;
}

SourceStamp StampOfSourceFile(const SourceFile *file)
{
    SourceStamp stamp = {};
    struct stat info;
    if (fstat(static_cast<int>(file->handle), &info) != 0)
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
        if (g_sourceTestHooks.beforeRead && !g_sourceTestHooks.beforeRead())
            break;
        ssize_t got = read(static_cast<int>(file->handle), buffer + done, static_cast<size_t>(length - done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        done += got;
    }
    return done;
}

unsigned char *ObtainBlockBuffer(int64_t size)
{
    if (g_sourceTestHooks.grantedBlockBuffers == 0)
        return nullptr;
    if (g_sourceTestHooks.grantedBlockBuffers > 0)
        --g_sourceTestHooks.grantedBlockBuffers;
    return static_cast<unsigned char *>(std::malloc(static_cast<size_t>(size)));
}

void ReturnBlockBuffer(unsigned char *buffer)
{
    std::free(buffer);
}
