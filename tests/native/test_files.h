// Files for the native tests: whole-file reads, and a temporary folder per
// test that goes away again.
#ifndef TARNLIGHT_TEST_FILES_H
#define TARNLIGHT_TEST_FILES_H

#include <cstddef>
#include <string>

// The bytes of a file, or the empty string when it cannot be opened.
std::string ReadWhole(const std::string &path);

// Writes size bytes as the whole file at path; false when that failed.
bool WriteWhole(const std::string &path, const void *bytes, size_t size);

// A new folder below /tmp whose name starts with prefix; empty on failure.
std::string MakeTempFolder(const char *prefix);

// Removes the folder and everything in it; false when that failed.
bool RemoveFolder(const std::string &folder);

#endif
