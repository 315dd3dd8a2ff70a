// The comparison's reads and block buffers on POSIX systems. Alone in their
// file so that a test can link failing ones in their place; the program has
// no test switch.
#include "compare/source_file.h"

#include <cerrno>
#include <cstdlib>
#include <unistd.h>

int64_t ReadSourceFile(SourceFile *file, unsigned char *buffer, int64_t length)
{
    int64_t done = 0;
    while (done < length) {
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
    return static_cast<unsigned char *>(std::malloc(static_cast<size_t>(size)));
}

void ReturnBlockBuffer(unsigned char *buffer)
{
    std::free(buffer);
}
