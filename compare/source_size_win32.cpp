// The size the window compares by: the directory entry's, whatever the
// input is. Alone in its file so that tlcmp.exe can link its own rule.
#include "compare/source_file.h"

int64_t SourceSizeOf(const char *name, const SourceFile *file)
{
    return DirectoryEntrySizeOf(name, file);
}
