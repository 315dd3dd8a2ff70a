// The comparison's system reads and block buffers as the program has them,
// with the faults that g_sourceFaults asks for.
#include "source_faults.h"

#include <cerrno>
#include <cstdlib>
#include <unistd.h>

#include "compare/source_file.h"

SourceFaults g_sourceFaults;

int64_t ReadSourceOnce(SourceFile *file, unsigned char *buffer, int64_t length)
{
    if (g_sourceFaults.beforeRead && !g_sourceFaults.beforeRead()) {
        errno = EIO;
        return -1;
    }
    return read(static_cast<int>(file->handle), buffer, static_cast<size_t>(length));
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
