// GNU cmp -l as the reference listing of differing bytes, and the same
// listing read back from a report text, in one form: " %9lld A B", the
// 0-based offset as the report prints it, then both byte values in decimal.
#ifndef TARNLIGHT_CMP_LISTING_H
#define TARNLIGHT_CMP_LISTING_H

#include <string>
#include <vector>

// Every byte in which the two files differ, in file order; options such as
// -i and -n go to cmp as they are.
std::vector<std::string> ListWithCmp(const std::string &first, const std::string &second,
                                     const std::vector<std::string> &options = {});

// The difference lines of a Shift-JIS report text, in order.
std::vector<std::string> ListedByReport(const std::string &report);

#endif
