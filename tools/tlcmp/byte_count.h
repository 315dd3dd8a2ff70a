// The byte counts of -i and -n as cmp reads them: blanks and a plus sign
// allowed first, a decimal, octal (0...) or hexadecimal (0x...) number, then
// a multiplier such as kB or KD (1000), K or KiB (1024), MB, M, MiB and so on.
#ifndef TARNLIGHT_TLCMP_BYTE_COUNT_H
#define TARNLIGHT_TLCMP_BYTE_COUNT_H

#include <cstdint>

// The whole of text as one count; false for anything else or a count over
// INT64_MAX.
bool ReadByteCount(const char *text, int64_t *value);

// SKIP for both inputs, or SKIP1:SKIP2.
bool ReadSkips(const char *text, int64_t skips[2]);

#endif
