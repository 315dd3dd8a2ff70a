// The console on POSIX systems: texts converted from Shift-JIS to the
// locale's character set with iconv(3), and each CR LF written as the LF that
// terminals and text tools expect. With --sjis the bytes go out unchanged.
#include "tools/tlcmp/console.h"

#include <cerrno>
#include <clocale>
#include <cstring>
#include <cwchar>
#include <ctime>
#include <fcntl.h>
#include <iconv.h>
#include <langinfo.h>
#include <sys/stat.h>
#include <unistd.h>

#include "compare/shift_jis.h"

enum { CHARSET_NAME_SIZE = 80, CONVERTED_CHUNK = 4096, PIPE_SIZE = 1 << 20 };

static const char SHIFT_JIS[] = "CP932";
static const iconv_t NO_CONVERTER = reinterpret_cast<iconv_t>(-1);

static bool s_rawShiftJis = true;
static char s_localeCharset[CHARSET_NAME_SIZE] = "";

void StartConsole(bool rawShiftJis)
{
    std::setlocale(LC_ALL, "");
    std::snprintf(s_localeCharset, sizeof s_localeCharset, "%s", nl_langinfo(CODESET));
    s_rawShiftJis = rawShiftJis;
}

// No transliteration: a look-alike would name another file, so a character
// the charset lacks becomes '?' (see Convert).
static iconv_t OpenConverter(const char *to, const char *from)
{
    return iconv_open(to, from);
}

// The input bytes of a character that did not convert: two for a Shift-JIS
// double-byte character, the locale's own length for one of the locale's,
// one for a byte that starts no character.
static size_t BadCharacterLength(const char *at, size_t left, bool fromShiftJis)
{
    if (fromShiftJis)
        return left >= 2 && IsShiftJisLeadByte(static_cast<unsigned char>(*at)) ? 2 : 1;
    std::mbstate_t state = {};
    size_t length = std::mbrlen(at, left, &state);
    return length == 0 || length > left ? 1 : length;
}

// Whether all of text is valid in charset.
static bool IsTextOf(const char *charset, const char *text)
{
    iconv_t converter = iconv_open("UTF-8", charset);
    if (converter == NO_CONVERTER)
        return false;
    char *inAt = const_cast<char *>(text);
    size_t inLeft = std::strlen(text);
    bool valid = true;
    while (inLeft > 0 && valid) {
        char chunk[CONVERTED_CHUNK];
        char *outAt = chunk;
        size_t outLeft = sizeof chunk;
        valid = iconv(converter, &inAt, &inLeft, &outAt, &outLeft) != static_cast<size_t>(-1) || errno == E2BIG;
    }
    iconv_close(converter);
    return valid;
}

// Where converted bytes go: a stream, or a zero-ended text of size bytes.
struct Sink {
    FILE *stream;
    char *text;
    size_t size;
    size_t used;
};

// A text keeps what fits: a name too long for its buffer is cut, never
// overrun. False when the stream refused the bytes.
static bool Put(Sink *sink, const char *bytes, size_t length)
{
    if (sink->stream)
        return std::fwrite(bytes, 1, length, sink->stream) == length;
    size_t room = sink->size - 1 - sink->used;
    size_t taken = length < room ? length : room;
    std::memcpy(sink->text + sink->used, bytes, taken);
    sink->used += taken;
    sink->text[sink->used] = '\0';
    return true;
}

// Converts length bytes at in; a character that does not convert becomes
// '?'. With in null, ends the output (the closing shift of a stateful
// charset). False when the sink refused the bytes.
static bool Convert(iconv_t converter, const char *in, size_t length, bool fromShiftJis, Sink *sink)
{
    char *inAt = const_cast<char *>(in);
    size_t inLeft = length;
    for (;;) {
        char chunk[CONVERTED_CHUNK];
        char *outAt = chunk;
        size_t outLeft = sizeof chunk - 1;  // room for a '?'
        size_t done = in ? iconv(converter, &inAt, &inLeft, &outAt, &outLeft)
                         : iconv(converter, nullptr, nullptr, &outAt, &outLeft);
        int error = done == static_cast<size_t>(-1) ? errno : 0;
        if (error != 0 && error != E2BIG && in) {
            size_t skip = BadCharacterLength(inAt, inLeft, fromShiftJis);
            inAt += skip;
            inLeft -= skip;
            *outAt++ = '?';
        }
        if (!Put(sink, chunk, static_cast<size_t>(outAt - chunk)))
            return false;
        if (in ? inLeft == 0 : error != E2BIG)
            return true;
    }
}

// Converts Shift-JIS text line by line, each CR LF written as LF.
static bool ConvertLines(iconv_t converter, const char *text, size_t length, Sink *sink)
{
    size_t start = 0;
    for (size_t at = 0; at + 1 < length; ++at) {
        if (text[at] != '\r' || text[at + 1] != '\n')
            continue;
        if (!Convert(converter, text + start, at - start, true, sink) ||
            !Convert(converter, "\n", 1, true, sink))
            return false;
        start = at + 2;
        ++at;
    }
    return Convert(converter, text + start, length - start, true, sink) &&
           Convert(converter, nullptr, 0, true, sink);
}

bool WriteText(FILE *stream, const char *text, size_t length)
{
    Sink sink = {stream, nullptr, 0, 0};
    iconv_t converter = s_rawShiftJis ? NO_CONVERTER : OpenConverter(s_localeCharset, SHIFT_JIS);
    // Without a converter (--sjis, or a charset iconv does not know) the
    // bytes go out as they are.
    if (converter == NO_CONVERTER)
        return WriteBytes(stream, text, length);
    bool written = ConvertLines(converter, text, length, &sink) && std::fflush(stream) == 0;
    int error = errno;  // the caller says why the write failed
    iconv_close(converter);
    errno = error;
    return written;
}

bool WriteBytes(FILE *stream, const char *bytes, size_t length)
{
    return std::fwrite(bytes, 1, length, stream) == length && std::fflush(stream) == 0;
}

bool WriteTypedName(FILE *stream, const char *typed)
{
    return WriteBytes(stream, typed, std::strlen(typed));
}

void TextNameOf(const char *typed, char *name, size_t size)
{
    Sink sink = {nullptr, name, size, 0};
    name[0] = '\0';
    // A name that is no text of the locale but is Shift-JIS already (a file
    // named on a Japanese system) keeps its own bytes.
    if (!IsTextOf(s_localeCharset, typed) && IsTextOf(SHIFT_JIS, typed)) {
        Put(&sink, typed, std::strlen(typed));
        return;
    }
    iconv_t converter = OpenConverter(SHIFT_JIS, s_localeCharset);
    if (converter == NO_CONVERTER) {
        Put(&sink, typed, std::strlen(typed));
        return;
    }
    Convert(converter, typed, std::strlen(typed), false, &sink);
    Convert(converter, nullptr, 0, false, &sink);
    iconv_close(converter);
}

bool IsTerminal(FILE *stream)
{
    return isatty(fileno(stream)) != 0;
}

bool StatedSizeOf(const char *name, int64_t *size, int64_t *start)
{
    // Standard input is compared from where it stands, as the comparison opens it.
    bool standardInput = std::strcmp(name, "/dev/stdin") == 0;
    struct stat info;
    if ((standardInput ? fstat(STDIN_FILENO, &info) : stat(name, &info)) != 0 || !S_ISREG(info.st_mode))
        return false;
    off_t at = standardInput ? lseek(STDIN_FILENO, 0, SEEK_CUR) : 0;
    *size = info.st_size;
    *start = at > 0 ? at : 0;
    return true;
}

int64_t MillisecondsNow()
{
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

void WidenPipe(FILE *stream)
{
#ifdef F_SETPIPE_SZ
    // Refused beyond the system's limit for a user; the pipe then stays as
    // it was, which only costs time.
    (void)fcntl(fileno(stream), F_SETPIPE_SZ, PIPE_SIZE);
#else
    (void)stream;
#endif
}
