// The system's own file access and block buffers for the comparison: files
// opened read-only but shared for reading and writing, read many blocks per
// call, their size from the directory entry. One body per platform.
#ifndef TARNLIGHT_SOURCE_FILE_H
#define TARNLIGHT_SOURCE_FILE_H

#include <cstdint>

#include "compare/engine.h"

struct SourceFile {
    intptr_t handle;    // a file descriptor or a HANDLE
    bool shared;        // the caller's own standard input: where it is left is theirs
};

// What tells a changed file apart: its size and its last-write time.
struct SourceStamp {
    bool known;
    int64_t size;
    int64_t writeTime;
};

bool OpenSourceFile(const char *name, SourceFile *file);
void CloseSourceFile(SourceFile *file);

// Windows: the window takes the size from the directory entry of name (see
// DirectoryEntrySizeOf); tlcmp.exe links its own rule, which gives pipes and
// devices SIZE_UNKNOWN.
// POSIX: the open file's size, or SIZE_UNKNOWN for what has none that can be
// trusted (a pipe, a device, a file of the proc kind that says 0 and is not).
int64_t SourceSizeOf(const char *name, const SourceFile *file);

#ifdef _WIN32
// The size from the directory entry of name; where that look-up fails (a
// device name), the open file's own size; 0 when neither can be had.
int64_t DirectoryEntrySizeOf(const char *name, const SourceFile *file);

// A pipe, or a device other than the console: what is read from it has no
// size beforehand.
bool IsStreamSource(const SourceFile *file);
#endif

// Size and last-write time of the open file as they are now; not known for
// an input without a size.
SourceStamp StampOfSourceFile(const SourceFile *file);

// Reads up to length bytes; returns how many arrived, fewer than length only
// at the end of the file, or -1 when a read failed.
int64_t ReadSourceFile(SourceFile *file, unsigned char *buffer, int64_t length);

// Moves a file of known size to offset from its start; false when the
// system refuses.
bool SeekSourceFile(SourceFile *file, int64_t offset);

#ifndef _WIN32
// One system read, as read(2) answers it: the bytes that arrived, 0 at the
// end, -1 with errno set.
int64_t ReadSourceOnce(SourceFile *file, unsigned char *buffer, int64_t length);
#endif

// Block buffers; null when the memory cannot be had. The system read and the
// buffers sit in a file of their own, so a test can link faulty ones instead.
unsigned char *ObtainBlockBuffer(int64_t size);
void ReturnBlockBuffer(unsigned char *buffer);

#endif
