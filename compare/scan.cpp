// Finds and counts differing bytes 64 at a time with SSE2, looking at single
// bytes only inside a group that differs. Plain loops where SSE2 is missing.
#include "compare/scan.h"

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#define TARNLIGHT_SCAN_SSE2 1
#include <emmintrin.h>
#endif

enum { GROUP = 64 };

static size_t FindInTail(const unsigned char *a, const unsigned char *b, size_t from, size_t length)
{
    while (from < length && a[from] == b[from])
        ++from;
    return from;
}

static size_t CountInTail(const unsigned char *a, const unsigned char *b, size_t from, size_t length)
{
    size_t count = 0;
    for (; from < length; ++from)
        count += a[from] != b[from];
    return count;
}

#ifdef TARNLIGHT_SCAN_SSE2

// Bit i is set where byte i of the 16 is equal in both.
static unsigned EqualMask(const unsigned char *a, const unsigned char *b)
{
    __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i *>(a));
    __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i *>(b));
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(x, y)));
}

static bool GroupIsEqual(const unsigned char *a, const unsigned char *b)
{
    __m128i e0 = _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(a)),
                                _mm_loadu_si128(reinterpret_cast<const __m128i *>(b)));
    __m128i e1 = _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(a + 16)),
                                _mm_loadu_si128(reinterpret_cast<const __m128i *>(b + 16)));
    __m128i e2 = _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(a + 32)),
                                _mm_loadu_si128(reinterpret_cast<const __m128i *>(b + 32)));
    __m128i e3 = _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(a + 48)),
                                _mm_loadu_si128(reinterpret_cast<const __m128i *>(b + 48)));
    __m128i all = _mm_and_si128(_mm_and_si128(e0, e1), _mm_and_si128(e2, e3));
    return _mm_movemask_epi8(all) == 0xFFFF;
}

static unsigned LowestBit(unsigned bits)
{
    unsigned index = 0;
    for (; !(bits & 1u); bits >>= 1)
        ++index;
    return index;
}

static unsigned CountBits(unsigned bits)
{
    unsigned count = 0;
    for (; bits; bits &= bits - 1)
        ++count;
    return count;
}

size_t FindFirstDifference(const unsigned char *a, const unsigned char *b, size_t length)
{
    size_t at = 0;
    for (; at + GROUP <= length; at += GROUP) {
        if (GroupIsEqual(a + at, b + at))
            continue;
        for (size_t part = at;; part += 16) {
            unsigned differ = ~EqualMask(a + part, b + part) & 0xFFFF;
            if (differ)
                return part + LowestBit(differ);
        }
    }
    return FindInTail(a, b, at, length);
}

size_t CountDifferences(const unsigned char *a, const unsigned char *b, size_t length)
{
    size_t count = 0;
    size_t at = 0;
    for (; at + GROUP <= length; at += GROUP) {
        if (GroupIsEqual(a + at, b + at))
            continue;
        for (size_t part = at; part < at + GROUP; part += 16)
            count += CountBits(~EqualMask(a + part, b + part) & 0xFFFF);
    }
    return count + CountInTail(a, b, at, length);
}

unsigned long long DifferenceBits(const unsigned char *a, const unsigned char *b)
{
    unsigned long long equal = 0;
    for (int part = 3; part >= 0; --part)
        equal = equal << 16 | EqualMask(a + part * 16, b + part * 16);
    return ~equal;
}

#else

unsigned long long DifferenceBits(const unsigned char *a, const unsigned char *b)
{
    unsigned long long bits = 0;
    for (int at = GROUP - 1; at >= 0; --at)
        bits = bits << 1 | (a[at] != b[at]);
    return bits;
}

size_t FindFirstDifference(const unsigned char *a, const unsigned char *b, size_t length)
{
    return FindInTail(a, b, 0, length);
}

size_t CountDifferences(const unsigned char *a, const unsigned char *b, size_t length)
{
    return CountInTail(a, b, 0, length);
}

#endif
