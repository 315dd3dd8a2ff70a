// Fast search for differing bytes in two equally long stretches of memory.
#ifndef TARNLIGHT_SCAN_H
#define TARNLIGHT_SCAN_H

#include <cstddef>

// Index of the first byte at which a and b differ; length when none does.
size_t FindFirstDifference(const unsigned char *a, const unsigned char *b, size_t length);

// How many of the length bytes differ between a and b.
size_t CountDifferences(const unsigned char *a, const unsigned char *b, size_t length);

// Bit i is set where a[i] and b[i] differ, for the DIFFERENCE_GROUP bytes
// at a and b.
enum { DIFFERENCE_GROUP = 64 };
unsigned long long DifferenceBits(const unsigned char *a, const unsigned char *b);

#endif
