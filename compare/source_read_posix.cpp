// The comparison's system reads and block buffers on POSIX systems. Alone in
// their file so that a test can link failing ones in their place; the
// program has no test switch.
#include "compare/source_file.h"

#include <cstdlib>
#include <unistd.h>

int64_t ReadSourceOnce(SourceFile *file, unsigned char *buffer, int64_t length)
{
    return read(static_cast<int>(file->handle), buffer, static_cast<size_t>(length));
}

unsigned char *ObtainBlockBuffer(int64_t size)
{
    return static_cast<unsigned char *>(std::malloc(static_cast<size_t>(size)));
}

void ReturnBlockBuffer(unsigned char *buffer)
{
    std::free(buffer);
}
