// Byte counts with cmp's bases and multipliers.
#include "tools/tlcmp/byte_count.h"

#include <cstring>

static int DigitValue(char character)
{
    if (character >= '0' && character <= '9')
        return character - '0';
    if (character >= 'a' && character <= 'f')
        return character - 'a' + 10;
    if (character >= 'A' && character <= 'F')
        return character - 'A' + 10;
    return 99;
}

// The number at the start of text; returns the place after it, or null.
static const char *ReadNumber(const char *text, int64_t *value)
{
    // cmp takes blanks and a plus sign before the number.
    while (*text != '\0' && std::strchr(" \t\n\v\f\r", *text))
        ++text;
    if (*text == '+')
        ++text;
    int base = 10;
    if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X') && DigitValue(text[2]) < 16) {
        base = 16;
        text += 2;
    } else if (text[0] == '0') {
        base = 8;
    }
    if (DigitValue(*text) >= base)
        return nullptr;
    int64_t number = 0;
    for (; DigitValue(*text) < base; ++text) {
        int digit = DigitValue(*text);
        if (number > (INT64_MAX - digit) / base)
            return nullptr;
        number = number * base + digit;
    }
    *value = number;
    return text;
}

// How many times the multiplier's base applies: K (or k) once, M twice...;
// 0 for no multiplier letter. cmp knows no R or Q.
static int PowerOf(char letter)
{
    static const char letters[] = "KMGTPEZY";
    if (letter == 'k')
        letter = 'K';
    const char *found = letter != '\0' ? std::strchr(letters, letter) : nullptr;
    return found ? static_cast<int>(found - letters) + 1 : 0;
}

// A count and its multiplier at the start of text; returns the place after
// them, or null.
static const char *ReadCount(const char *text, int64_t *value)
{
    const char *at = ReadNumber(text, value);
    int power = at ? PowerOf(*at) : 0;
    if (power == 0)
        return at;
    ++at;
    int64_t base = 1024;
    if (at[0] == 'B' || at[0] == 'D') {     // KD is kB to cmp
        base = 1000;
        ++at;
    } else if (at[0] == 'i' && at[1] == 'B') {
        at += 2;
    }
    for (; power > 0; --power) {
        if (*value > INT64_MAX / base)
            return nullptr;
        *value *= base;
    }
    return at;
}

bool ReadByteCount(const char *text, int64_t *value)
{
    const char *end = text ? ReadCount(text, value) : nullptr;
    return end && *end == '\0';
}

bool ReadSkips(const char *text, int64_t skips[2])
{
    const char *end = text ? ReadCount(text, &skips[0]) : nullptr;
    if (end && *end == '\0') {
        skips[1] = skips[0];
        return true;
    }
    if (!end || *end != ':')
        return false;
    end = ReadCount(end + 1, &skips[1]);
    return end && *end == '\0';
}
