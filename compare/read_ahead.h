// The chunks of both inputs as the comparison asks for them. Natively the
// chunks of two files of known size may be read on a thread of their own,
// one ahead of the comparison, so that reading and comparing (and writing a
// listing) overlap, for as long as that proves the faster way. Elsewhere,
// and for streams, which must not be read further than asked, a chunk is
// read when it is taken.
#ifndef TARNLIGHT_READ_AHEAD_H
#define TARNLIGHT_READ_AHEAD_H

#include <cstdint>

#include "compare/source_file.h"

struct ChunkPair {
    unsigned char *buffer[2];
    int64_t length;             // bytes asked of each input
    int64_t loaded[2];          // bytes that arrived, -1 for a failed read
};

// The time each way of reading took over the last stretch of input read
// that way: nanoseconds per KiB of each input, 0 before it was tried.
struct ChunkPace {
    int64_t cost[2];            // [0] reading as taken, [1] reading ahead
    int64_t bytes;              // of each input since start
    int64_t start;
    int looks;
};

struct ReaderThread;

struct ReadAhead {
    SourceFile *file[2];
    ChunkPair pair[2];          // pair[taken] is the comparison's; pair[1] has the spare buffers
    int taken;
    bool asked;                 // a chunk is asked and not yet taken
    bool mayReadAhead;
    int64_t size;               // of each buffer
    ChunkPace pace;
    ReaderThread *thread;       // null: chunks are read as they are taken
};

// Chunks go into buffer's two buffers of size bytes each, and, while
// readAhead allows, a thread and a spare pair of buffers can be had and the
// pace calls for it, into the spare pair by turns; thread is set then.
void StartReadAhead(ReadAhead *ahead, SourceFile file[2], unsigned char *const buffer[2], int64_t size,
                    bool readAhead);

// Asks for the next chunk: length bytes of each input, from where the last
// chunk ended. One chunk at a time is asked and not taken.
void AskChunk(ReadAhead *ahead, int64_t length);

// The chunk last asked for, once it has arrived; its buffers stay the
// caller's until the next chunk is taken.
const ChunkPair *TakeChunk(ReadAhead *ahead);

// Waits for a read under way, ends the thread and gives back the spare
// buffers; the caller may then read, position or close the files.
void StopReadAhead(ReadAhead *ahead);

#endif
