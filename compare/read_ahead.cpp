// Reading the chunks of both inputs, ahead of the comparison where a thread
// can be had. The reads stay those of the file access and in the same order
// (first input, then second, chunk after chunk), so a read that fails or a
// file that changes is seen as it would be without the thread; only a run
// that stops early may have read one chunk more, which goes unused.
#include "compare/read_ahead.h"

#ifndef _WIN32
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

static void ReturnSpareBuffers(ChunkPair *spare)
{
    for (int index = 0; index < 2; ++index) {
        if (spare->buffer[index])
            ReturnBlockBuffer(spare->buffer[index]);
        spare->buffer[index] = nullptr;
    }
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

static ReaderThread *StartThreadOf(ReadAhead *ahead)
{
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

// The thread, with the spare pair of buffers of size bytes it reads into by
// turns; null, and no spare buffers, where either cannot be had.
static ReaderThread *StartReaderThread(ReadAhead *ahead, int64_t size)
{
    ChunkPair *spare = &ahead->pair[1];
    for (int index = 0; index < 2; ++index)
        spare->buffer[index] = ObtainBlockBuffer(size);
    ReaderThread *reader = spare->buffer[0] && spare->buffer[1] ? StartThreadOf(ahead) : nullptr;
    if (!reader)
        ReturnSpareBuffers(spare);
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

#else

// On Windows, and so under Wine, where the program's runs are measured, a
// chunk is read when it is taken, as it always was.
static ReaderThread *StartReaderThread(ReadAhead *, int64_t)
{
    return nullptr;
}

static void AskReaderThread(ReaderThread *)
{
}

static void AwaitReaderThread(ReaderThread *)
{
}

static void EndReaderThread(ReaderThread *)
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
    ahead->taken = 1;   // so that the thread reads the first chunk into pair 0
    if (readAhead)
        ahead->thread = StartReaderThread(ahead, size);
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
    if (!ahead->thread) {
        ReadPair(ahead->file, &ahead->pair[0]);
        ahead->taken = 0;
        return &ahead->pair[0];
    }
    AwaitReaderThread(ahead->thread);
    ahead->taken = 1 - ahead->taken;
    return &ahead->pair[ahead->taken];
}

void StopReadAhead(ReadAhead *ahead)
{
    if (ahead->thread)
        EndReaderThread(ahead->thread);
    ahead->thread = nullptr;
    ReturnSpareBuffers(&ahead->pair[1]);
}
