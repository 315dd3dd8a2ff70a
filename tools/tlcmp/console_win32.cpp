// The console on Windows. A console gets the texts as UTF-16 through its own
// wide call, so that Japanese reads right whatever its code page; a file or a
// pipe gets the Shift-JIS bytes as they are, in binary mode so that the
// runtime adds no CR before the texts' own CR LF.
#include "tools/tlcmp/console.h"

#include <windows.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <io.h>

#include "compare/shift_jis.h"

enum { WIDE_CHUNK = 2048 };

// The program's texts are Shift-JIS even where Windows ignores the
// manifest's code page.
static const UINT SHIFT_JIS_CODE_PAGE = 932;

static bool s_rawShiftJis = false;

void StartConsole(bool rawShiftJis)
{
    s_rawShiftJis = rawShiftJis;
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

// The console that stream writes to, or NULL for a file or a pipe.
static HANDLE ConsoleOf(FILE *stream)
{
    HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode = 0;
    if (handle == INVALID_HANDLE_VALUE || !GetConsoleMode(handle, &mode))
        return NULL;
    return handle;
}

// The bytes at the start of text, at most limit, that end on a character
// boundary, so that no double-byte character is split between two chunks.
static size_t WholeCharactersIn(const char *text, size_t length, size_t limit)
{
    size_t at = 0;
    while (at < length) {
        bool pair = IsShiftJisLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < length;
        size_t width = pair ? 2 : 1;
        if (at + width > limit)
            break;
        at += width;
    }
    return at;
}

static bool WriteWide(HANDLE console, const wchar_t *wide, DWORD count)
{
    while (count > 0) {
        DWORD written = 0;
        if (!WriteConsoleW(console, wide, count, &written, NULL) || written == 0)
            return false;
        wide += written;
        count -= written;
    }
    return true;
}

// Each byte gives at most one UTF-16 unit, so a chunk of WIDE_CHUNK bytes fits.
static bool WriteToConsole(HANDLE console, const char *text, size_t length)
{
    while (length > 0) {
        wchar_t wide[WIDE_CHUNK];
        size_t taken = WholeCharactersIn(text, length, WIDE_CHUNK);
        int count = MultiByteToWideChar(SHIFT_JIS_CODE_PAGE, 0, text, static_cast<int>(taken), wide, WIDE_CHUNK);
        if (count <= 0 || !WriteWide(console, wide, static_cast<DWORD>(count)))
            return false;
        text += taken;
        length -= taken;
    }
    return true;
}

// --sjis sends the bytes even to a console, for a user who wants them so.
bool WriteText(FILE *stream, const char *text, size_t length)
{
    HANDLE console = s_rawShiftJis ? NULL : ConsoleOf(stream);
    // Whatever the runtime still buffers goes out first, to keep the order.
    if (console != NULL) {
        if (std::fflush(stream) == 0 && WriteToConsole(console, text, length))
            return true;
        errno = EIO;    // the caller says why, and a console's failure sets no errno
        return false;
    }
    return WriteBytes(stream, text, length);
}

bool WriteBytes(FILE *stream, const char *bytes, size_t length)
{
    _doserrno = 0;
    if (std::fwrite(bytes, 1, length, stream) == length && std::fflush(stream) == 0)
        return true;
    // The runtime calls a write into a pipe whose reader has gone an invalid
    // argument; the user is told that the pipe was closed. Windows says
    // ERROR_NO_DATA, Wine ERROR_PIPE_NOT_CONNECTED; a reader that leaves in
    // the middle of a write leaves Wine's write short, with no error at all.
    unsigned long error = _doserrno;
    HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    if (error == ERROR_NO_DATA || error == ERROR_BROKEN_PIPE || error == ERROR_PIPE_NOT_CONNECTED ||
        (error == 0 && GetFileType(handle) == FILE_TYPE_PIPE))
        errno = EPIPE;
    return false;
}

bool WriteTypedName(FILE *stream, const char *typed)
{
    return WriteText(stream, typed, std::strlen(typed));
}

// The command line arrives in the ANSI code page, 932 by the manifest.
void TextNameOf(const char *typed, char *name, size_t size)
{
    std::snprintf(name, size, "%s", typed);
}

bool IsTerminal(FILE *stream)
{
    return _isatty(_fileno(stream)) != 0;
}

bool StatedSizeOf(const char *, int64_t *, int64_t *)
{
    return false;
}

int64_t MillisecondsNow()
{
    return static_cast<int64_t>(GetTickCount());
}

void WidenPipe(FILE *)
{
    // A pipe's size is set by whoever creates it on Windows.
}
