// File access of the comparison on Windows: CreateFileA shared for reading
// and writing, ReadFile of many blocks at once, the size from FindFirstFileA.
// Which size a program takes is in source_size_win32.cpp.
#include "compare/source_file.h"

#include <windows.h>

static HANDLE HandleOf(const SourceFile *file)
{
    return reinterpret_cast<HANDLE>(file->handle);
}

static int64_t Join(DWORD high, DWORD low)
{
    return static_cast<int64_t>((static_cast<uint64_t>(high) << 32) | low);
}

bool OpenSourceFile(const char *name, SourceFile *file)
{
    // Read-only, and other programs may go on reading and writing it.
    HANDLE handle = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, NULL);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    file->handle = reinterpret_cast<intptr_t>(handle);
    return true;
}

void CloseSourceFile(SourceFile *file)
{
    CloseHandle(HandleOf(file));
    file->handle = reinterpret_cast<intptr_t>(INVALID_HANDLE_VALUE);
}

int64_t DirectoryEntrySizeOf(const char *name, const SourceFile *file)
{
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA(name, &entry);
    if (find != INVALID_HANDLE_VALUE) {
        FindClose(find);
        return Join(entry.nFileSizeHigh, entry.nFileSizeLow);
    }
    LARGE_INTEGER size;
    if (GetFileSizeEx(HandleOf(file), &size))
        return size.QuadPart;
    return 0;
}

bool IsStreamSource(const SourceFile *file)
{
    DWORD type = GetFileType(HandleOf(file));
    DWORD mode = 0;
    return type == FILE_TYPE_PIPE || (type == FILE_TYPE_CHAR && !GetConsoleMode(HandleOf(file), &mode));
}

SourceStamp StampOfSourceFile(const SourceFile *file)
{
    // Asked of the handle, not the directory: a directory entry may lag
    // behind a file that another program is writing.
    SourceStamp stamp = {};
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(HandleOf(file), &info))
        return stamp;
    stamp.known = true;
    stamp.size = Join(info.nFileSizeHigh, info.nFileSizeLow);
    stamp.writeTime = Join(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime);
    return stamp;
}

bool SeekSourceFile(SourceFile *file, int64_t offset)
{
    LARGE_INTEGER distance;
    distance.QuadPart = offset;
    return SetFilePointerEx(HandleOf(file), distance, NULL, FILE_BEGIN) != 0;
}

int64_t ReadSourceFile(SourceFile *file, unsigned char *buffer, int64_t length)
{
    int64_t done = 0;
    while (done < length) {
        DWORD want = static_cast<DWORD>(length - done);
        DWORD got = 0;
        if (!ReadFile(HandleOf(file), buffer + done, want, &got, NULL)) {
            // A pipe whose writer has gone has ended; anything else failed.
            if (GetLastError() == ERROR_BROKEN_PIPE)
                break;
            return -1;
        }
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

unsigned char *ObtainBlockBuffer(int64_t size)
{
    return static_cast<unsigned char *>(LocalAlloc(LMEM_FIXED, static_cast<SIZE_T>(size)));
}

void ReturnBlockBuffer(unsigned char *buffer)
{
    LocalFree(buffer);
}
