// Reading the chunks of both inputs, ahead of the comparison where a thread
// can be had and pays. The reads stay those of the file access and in the
// same order (first input, then second, chunk after chunk), so a read that
// fails or a file that changes is seen as it would be without the thread;
// only a run that stops early may have read one chunk more, which goes
// unused.
#include "compare/read_ahead.h"

#ifndef _WIN32
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#endif

static void ReadPair(SourceFile *const file[2], ChunkPair *pair)
{
    for (int index = 0; index < 2; ++index)
        pair->loaded[index] = ReadSourceFile(file[index], pair->buffer[index], pair->length);
}

#ifndef _WIN32

struct ReaderThread {
    std::mutex lock;
    std::condition_variable changed;
    bool asked = false;         // a chunk waits to be read into the pair not taken
    bool arrived = false;       // and has been read
    bool ending = false;
    std::thread thread;
};

static void ReadAsAsked(ReadAhead *ahead, ReaderThread *reader)
{
    std::unique_lock<std::mutex> held(reader->lock);
    for (;;) {
        reader->changed.wait(held, [reader] { return reader->asked || reader->ending; });
        if (reader->ending)
            return;
        ChunkPair *pair = &ahead->pair[1 - ahead->taken];
        held.unlock();
        ReadPair(ahead->file, pair);
        held.lock();
        reader->asked = false;
        reader->arrived = true;
        reader->changed.notify_all();
    }
}

static bool ObtainSpareBuffers(ReadAhead *ahead)
{
    ChunkPair *spare = &ahead->pair[1];
    for (int index = 0; index < 2; ++index) {
        if (!spare->buffer[index])
            spare->buffer[index] = ObtainBlockBuffer(ahead->size);
    }
    return spare->buffer[0] && spare->buffer[1];
}

// Started between chunks, when none is asked.
static ReaderThread *StartReaderThread(ReadAhead *ahead)
{
    if (!ObtainSpareBuffers(ahead))
        return nullptr;
    ReaderThread *reader = new (std::nothrow) ReaderThread;
    if (!reader)
        return nullptr;
    try {
        reader->thread = std::thread(ReadAsAsked, ahead, reader);
    } catch (const std::system_error &) {
        delete reader;
        return nullptr;
    }
    return reader;
}

static void AskReaderThread(ReaderThread *reader)
{
    std::lock_guard<std::mutex> held(reader->lock);
    reader->asked = true;
    reader->changed.notify_all();
}

static void AwaitReaderThread(ReaderThread *reader)
{
    std::unique_lock<std::mutex> held(reader->lock);
    reader->changed.wait(held, [reader] { return reader->arrived; });
    reader->arrived = false;
}

static void EndReaderThread(ReaderThread *reader)
{
    {
        std::lock_guard<std::mutex> held(reader->lock);
        reader->ending = true;
        reader->changed.notify_all();
    }
    reader->thread.join();
    delete reader;
}

static int64_t Now()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch()).count();
}

enum {
    PACE_BYTES = 32 << 20,  // of each input between two looks at the pace
    TRIAL_EVERY = 16        // looks between two trials of the other way
};

static void SwitchWay(ReadAhead *ahead, bool readingAhead)
{
    if (readingAhead && !ahead->thread) {
        ahead->thread = StartReaderThread(ahead);
    } else if (!readingAhead && ahead->thread) {
        EndReaderThread(ahead->thread);
        ahead->thread = nullptr;
    }
}

// Whether reading ahead pays cannot be told beforehand: it hides the
// comparing (and a listing's writing) behind the reads, but a chunk read on
// the other core no longer comes out of this core's cache, so the reads
// themselves go slower. So both ways are timed over the same amount of
// input, the faster is kept, and now and then the other is tried again, as
// the files' contents or the machine may have changed. A run starts reading
// as it goes, which costs least when it is short.
static void KeepPace(ReadAhead *ahead, int64_t length)
{
    ChunkPace *pace = &ahead->pace;
    if (pace->start == 0)
        pace->start = Now();    // from the first chunk's arrival
    pace->bytes += length;
    if (pace->bytes < PACE_BYTES)
        return;
    int64_t now = Now();
    pace->cost[ahead->thread ? 1 : 0] = (now - pace->start) / (pace->bytes >> 10);
    ++pace->looks;
    bool untried = pace->cost[0] == 0 || pace->cost[1] == 0;
    bool trial = pace->looks % TRIAL_EVERY == 0;
    bool faster = pace->cost[1] < pace->cost[0];
    SwitchWay(ahead, untried || trial ? !ahead->thread : faster);
    pace->bytes = 0;
    pace->start = Now();
}

#else

// On Windows, and so under Wine, where the program's runs are measured, a
// chunk is read when it is taken, as it always was.
static void AskReaderThread(ReaderThread *)
{
}

static void AwaitReaderThread(ReaderThread *)
{
}

static void EndReaderThread(ReaderThread *)
{
}

static void KeepPace(ReadAhead *, int64_t)
{
}

#endif

void StartReadAhead(ReadAhead *ahead, SourceFile file[2], unsigned char *const buffer[2], int64_t size,
                    bool readAhead)
{
    *ahead = ReadAhead();
    for (int index = 0; index < 2; ++index) {
        ahead->file[index] = &file[index];
        ahead->pair[0].buffer[index] = buffer[index];
    }
    ahead->size = size;
    ahead->mayReadAhead = readAhead;
}

void AskChunk(ReadAhead *ahead, int64_t length)
{
    ahead->asked = true;
    if (!ahead->thread) {
        ahead->pair[0].length = length;
        return;
    }
    ahead->pair[1 - ahead->taken].length = length;
    AskReaderThread(ahead->thread);
}

const ChunkPair *TakeChunk(ReadAhead *ahead)
{
    ahead->asked = false;
    if (ahead->thread) {
        AwaitReaderThread(ahead->thread);
        ahead->taken = 1 - ahead->taken;
    } else {
        ReadPair(ahead->file, &ahead->pair[0]);
        ahead->taken = 0;
    }
    const ChunkPair *chunk = &ahead->pair[ahead->taken];
    if (ahead->mayReadAhead)
        KeepPace(ahead, chunk->length);
    return chunk;
}

void StopReadAhead(ReadAhead *ahead)
{
    if (ahead->thread)
        EndReaderThread(ahead->thread);
    ahead->thread = nullptr;
    ChunkPair *spare = &ahead->pair[1];
    for (int index = 0; index < 2; ++index) {
        if (spare->buffer[index])
            ReturnBlockBuffer(spare->buffer[index]);
        spare->buffer[index] = nullptr;
    }
}
