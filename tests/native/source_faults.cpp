// The comparison's reads and block buffers as the program has them, with the
// faults that g_sourceFaults asks for.
#include "source_faults.h"

#include <cerrno>
#include <cstdlib>
#include <unistd.h>

#include "compare/source_file.h"

SourceFaults g_sourceFaults;

int64_t ReadSourceFile(SourceFile *file, unsigned char *buffer, int64_t length)
{
    int64_t done = 0;
    while (done < length) {
        if (g_sourceFaults.beforeRead && !g_sourceFaults.beforeRead())
            return -1;
        ssize_t got = read(static_cast<int>(file->handle), buffer + done, static_cast<size_t>(length - done));
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

unsigned char *ObtainBlockBuffer(int64_t size)
{
    if (g_sourceFaults.grantedBlockBuffers == 0)
        return nullptr;
    if (g_sourceFaults.grantedBlockBuffers > 0)
        --g_sourceFaults.grantedBlockBuffers;
    return static_cast<unsigned char *>(std::malloc(static_cast<size_t>(size)));
}

void ReturnBlockBuffer(unsigned char *buffer)
{
    std::free(buffer);
}
