// tlcmp -l: every differing byte of the parts compared, one line each, as
// cmp -l writes them (the 1-based offset, then both bytes in octal), streamed
// through a fixed buffer whatever the number of differences.
#ifndef TARNLIGHT_TLCMP_LISTING_H
#define TARNLIGHT_TLCMP_LISTING_H

#include <cstddef>
#include <cstdio>

#include "compare/engine.h"

// Compares the parts and writes the listing to out. stated gives the length
// of each part as the system's stated size tells it, SIZE_UNKNOWN where none
// is stated; it only sets the offset column's width. run gets the outcome,
// its differences the number of lines. Returns false when out refused the
// listing, with errno telling why; the run then ends there.
bool ListDifferences(const char *name1, const char *name2, const InputParts &parts, const int64_t stated[2],
                     FILE *out, Comparison *run, size_t nameSize);

#endif
