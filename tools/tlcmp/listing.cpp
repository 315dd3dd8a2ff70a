// The -l listing. A gigabyte pair can differ in tens of millions of bytes,
// so the lines are formatted by hand into a large buffer and written in big
// chunks; formatting, not reading, is what such a listing costs.
#include "tools/tlcmp/listing.h"

#include <cerrno>
#include <cinttypes>
#include <cstring>

#include "compare/scan.h"
#include "tools/tlcmp/console.h"

enum {
    OUTPUT_SIZE = 1 << 20,
    LONGEST_LINE = 19 + 1 + 3 + 1 + 3 + 1 + 1,  // the widest offset of an int64_t, two bytes, spaces, LF, NUL
    OFFSET_DIGITS = 19
};

struct Lister {
    FILE *out;
    const InputParts *parts;
    int64_t stated[2];          // the parts' lengths by the stated sizes, or SIZE_UNKNOWN
    const Comparison *run;
    int width;                  // of the offset column, 0 until the first stretch
    uint64_t widest;            // the largest offset that fits the width
    uint64_t hundreds;          // the offset of the last line but its last two digits
    char hundredsText[OFFSET_DIGITS];   // those digits as the line shows them
    size_t used;
    int64_t lines;
    bool failed;
    int error;
    char buffer[OUTPUT_SIZE];
};

static int DigitsOf(int64_t number)
{
    int digits = 1;
    for (; number >= 10; number /= 10)
        ++digits;
    return digits;
}

// The offset column is as wide as the largest offset the parts can reach, as
// cmp reckons it: the limit or the stated length of a part, whichever is
// smaller; where nothing is stated, the size the comparison goes by.
static int OffsetWidth(const Lister &lister)
{
    int64_t largest = lister.parts->limit;
    const int64_t sizes[2] = {lister.run->sizes.first, lister.run->sizes.second};
    for (int index = 0; index < 2; ++index) {
        int64_t length = lister.stated[index] != SIZE_UNKNOWN ? lister.stated[index] : sizes[index];
        if (length != SIZE_UNKNOWN && length < largest)
            largest = length;
    }
    return DigitsOf(largest);
}

// Through the console's write, so that a closed pipe is told as one on
// every platform.
static bool Flush(Lister *lister)
{
    if (lister->used > 0 && !WriteBytes(lister->out, lister->buffer, lister->used)) {
        lister->failed = true;
        lister->error = errno;
    }
    lister->used = 0;
    return !lister->failed;
}

static const char s_digitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

static void PutPair(char *at, unsigned pair)
{
    at[0] = s_digitPairs[pair * 2];
    at[1] = s_digitPairs[pair * 2 + 1];
}

// Eight digits, zeros included, in 32-bit steps whose divisions do not wait
// on one another.
static void PutEightDigits(char *at, uint32_t value)
{
    uint32_t high = value / 10000, low = value % 10000;
    PutPair(at, high / 100);
    PutPair(at + 2, high % 100);
    PutPair(at + 4, low / 100);
    PutPair(at + 6, low % 100);
}

// The offset right-aligned in width columns; returns the place after them.
// It may write spaces up to OFFSET_DIGITS columns, which the rest of the line
// then covers.
static char *PutOffset(char *at, int width, uint64_t offset)
{
    std::memcpy(at, "                   ", OFFSET_DIGITS);
    char *digit = at + width;
    while (offset >= 100000000) {
        digit -= 8;
        PutEightDigits(digit, static_cast<uint32_t>(offset % 100000000));
        offset /= 100000000;
    }
    uint32_t rest = static_cast<uint32_t>(offset);
    for (; rest >= 100; rest /= 100) {
        digit -= 2;
        PutPair(digit, rest % 100);
    }
    if (rest >= 10) {
        digit -= 2;
        PutPair(digit, rest);
    } else {
        digit[-1] = static_cast<char>('0' + rest);
    }
    return at + width;
}

// A space, then the byte in octal right-aligned in three columns.
static char *PutOctal(char *at, unsigned byte)
{
    at[0] = ' ';
    at[1] = byte >= 64 ? static_cast<char>('0' + (byte >> 6)) : ' ';
    at[2] = byte >= 8 ? static_cast<char>('0' + ((byte >> 3) & 7)) : ' ';
    at[3] = static_cast<char>('0' + (byte & 7));
    return at + 4;
}

static int LowestSetBit(unsigned long long bits)
{
#if defined(__GNUC__)
    return __builtin_ctzll(bits);
#else
    int index = 0;
    for (; !(bits & 1u); bits >>= 1)
        ++index;
    return index;
#endif
}

// Offsets only grow, mostly by less than a few hundred, so the digits above
// the last two are kept from line to line and mostly stay or step by one.
static void StepHundreds(Lister *lister, uint64_t hundreds)
{
    if (hundreds == lister->hundreds + 1) {
        char *digit = lister->hundredsText + lister->width - 3;
        for (; *digit == '9'; --digit)
            *digit = '0';
        *digit = *digit == ' ' ? '1' : static_cast<char>(*digit + 1);
    } else {
        PutOffset(lister->hundredsText, lister->width - 2, hundreds);
    }
    lister->hundreds = hundreds;
}

static char *PutLineOffset(Lister *lister, char *at, uint64_t offset)
{
    uint64_t hundreds = offset / 100;
    if (hundreds == 0)
        return PutOffset(at, lister->width, offset);
    if (hundreds != lister->hundreds)
        StepHundreds(lister, hundreds);
    std::memcpy(at, lister->hundredsText, OFFSET_DIGITS);
    PutPair(at + lister->width - 2, static_cast<unsigned>(offset % 100));
    return at + lister->width;
}

static bool PutLine(Lister *lister, uint64_t offset, unsigned first, unsigned second)
{
    if (lister->used > OUTPUT_SIZE - LONGEST_LINE && !Flush(lister))
        return false;
    char *line = lister->buffer + lister->used;
    // A file of known size that grows while it is read against a stream
    // gives offsets past the width; their lines grow as printf's would.
    if (offset > lister->widest) {
        int length = std::snprintf(line, LONGEST_LINE, "%*" PRIu64 " %3o %3o\n", lister->width, offset, first, second);
        lister->used += static_cast<size_t>(length);
        ++lister->lines;
        return true;
    }
    char *end = PutLineOffset(lister, line, offset);
    end = PutOctal(end, first);
    end = PutOctal(end, second);
    *end++ = '\n';
    lister->used += static_cast<size_t>(end - line);
    ++lister->lines;
    return true;
}

// One mask gives every differing byte of a group, so a pair that differs
// every few bytes costs no search per difference; an equal group costs
// about what the search would.
static bool TakeStretch(void *context, int64_t offset, const unsigned char *first, const unsigned char *second,
                        size_t length)
{
    Lister *lister = static_cast<Lister *>(context);
    if (lister->width == 0) {
        lister->width = OffsetWidth(*lister);
        lister->widest = 9;
        for (int digit = 1; digit < lister->width; ++digit)
            lister->widest = lister->widest * 10 + 9;
    }
    uint64_t lineOffset = static_cast<uint64_t>(offset) + 1;
    size_t at = 0;
    while (at + DIFFERENCE_GROUP <= length) {
        unsigned long long bits = DifferenceBits(first + at, second + at);
        for (; bits != 0; bits &= bits - 1) {
            size_t index = at + static_cast<size_t>(LowestSetBit(bits));
            if (!PutLine(lister, lineOffset + index, first[index], second[index]))
                return false;
        }
        at += DIFFERENCE_GROUP;
    }
    for (; at < length; ++at) {
        if (first[at] != second[at] && !PutLine(lister, lineOffset + at, first[at], second[at]))
            return false;
    }
    return true;
}

bool ListDifferences(const char *name1, const char *name2, const InputParts &parts, const int64_t stated[2],
                     FILE *out, Comparison *run, size_t nameSize)
{
    static Lister lister;
    lister.out = out;
    lister.parts = &parts;
    lister.stated[0] = stated[0];
    lister.stated[1] = stated[1];
    lister.run = run;
    lister.width = 0;
    // No offset yet: nothing above the last two digits, shown as blanks.
    lister.hundreds = 0;
    std::memset(lister.hundredsText, ' ', sizeof lister.hundredsText);
    lister.used = 0;
    lister.lines = 0;
    lister.failed = false;
    const ProgressSink noProgress = {nullptr, nullptr};
    const StretchSink listing = {TakeStretch, &lister};
    // The listing ignores the report's limit and stop condition.
    const Settings settings = DefaultSettings();
    CompareFileParts(name1, name2, settings, parts, noProgress, listing, run, nameSize);
    bool written = Flush(&lister);
    if (lister.failed)
        errno = lister.error;
    run->differences = lister.lines;
    return written;
}
