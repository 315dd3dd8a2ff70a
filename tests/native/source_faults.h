// Faults in the comparison's reads and block buffers: the native tests link
// these in place of compare/source_read_posix.cpp.
#ifndef TARNLIGHT_SOURCE_FAULTS_H
#define TARNLIGHT_SOURCE_FAULTS_H

// beforeRead is called before every system read and may change the file on
// disk; returning false makes that read fail. When grantedBlockBuffers is 0
// or more, that many more buffers are granted and every later one refused.
struct SourceFaults {
    bool (*beforeRead)();
    int grantedBlockBuffers = -1;
};

extern SourceFaults g_sourceFaults;

#endif
