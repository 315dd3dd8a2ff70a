// The system's own file access and block buffers for the comparison: files
// opened read-only but shared for reading and writing, read many blocks per
// call, their size from the directory entry. One body per platform.
#ifndef TARNLIGHT_SOURCE_FILE_H
#define TARNLIGHT_SOURCE_FILE_H

#include <cstdint>

struct SourceFile {
    intptr_t handle;    // a file descriptor or a HANDLE
};

// What tells a changed file apart: its size and its last-write time.
struct SourceStamp {
    bool known;
    int64_t size;
    int64_t writeTime;
};

bool OpenSourceFile(const char *name, SourceFile *file);
void CloseSourceFile(SourceFile *file);

// Size from the directory entry of name; where that look-up fails (a device
// name), the open file's own size; 0 when neither can be had.
int64_t SourceSizeOf(const char *name, const SourceFile *file);

// Size and last-write time of the open file as they are now.
SourceStamp StampOfSourceFile(const SourceFile *file);

// Reads up to length bytes; returns how many arrived. Fewer than length
// means the file ended or a read failed.
int64_t ReadSourceFile(SourceFile *file, unsigned char *buffer, int64_t length);

// Block buffers; null when the memory cannot be had.
unsigned char *ObtainBlockBuffer(int64_t size);
void ReturnBlockBuffer(unsigned char *buffer);

#ifndef _WIN32
// Fault injection for the native tests only; the program never sets these.
// beforeRead is called before every system read and may change the file on
// disk; returning false makes that read fail. When grantedBlockBuffers is 0
// or more, that many more buffers are granted and every later one refused.
struct SourceTestHooks {
    bool (*beforeRead)();
    int grantedBlockBuffers = -1;
};
extern SourceTestHooks g_sourceTestHooks;
#endif

#endif
