// The size tlcmp.exe compares by, in place of the window's: a pipe or a
// device has none, and is read to its end as cmp reads it.
#include "compare/source_file.h"

int64_t SourceSizeOf(const char *name, const SourceFile *file)
{
    return IsStreamSource(file) ? SIZE_UNKNOWN : DirectoryEntrySizeOf(name, file);
}
