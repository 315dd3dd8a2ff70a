// The console on Windows: the program's texts are already in the ANSI code
// page of a Japanese system (932), so they go out as they are, in binary mode
// so that the runtime adds no CR before the texts' own CR LF.
#include "tools/tlcmp/console.h"

#include <windows.h>

#include <cstring>
#include <fcntl.h>
#include <io.h>

void StartConsole(bool)
{
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

bool WriteText(FILE *stream, const char *text, size_t length)
{
    return std::fwrite(text, 1, length, stream) == length && std::fflush(stream) == 0;
}

// The command line arrives in the ANSI code page already.
void TextNameOf(const char *typed, char *name, size_t size)
{
    std::snprintf(name, size, "%s", typed);
}

bool IsTerminal(FILE *stream)
{
    return _isatty(_fileno(stream)) != 0;
}

int64_t MillisecondsNow()
{
    return static_cast<int64_t>(GetTickCount());
}
