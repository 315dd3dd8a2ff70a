// Files for the native tests.
#include "test_files.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

std::string ReadWhole(const std::string &path)
{
    std::string data;
    FILE *file = std::fopen(path.c_str(), "rb");
    if (!file)
        return data;
    char chunk[4096];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        data.append(chunk, got);
    std::fclose(file);
    return data;
}

bool WriteWhole(const std::string &path, const void *bytes, size_t size)
{
    FILE *file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    bool written = size == 0 || std::fwrite(bytes, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

std::string MakeTempFolder(const char *prefix)
{
    std::string pattern = std::string("/tmp/") + prefix + "-XXXXXX";
    if (!mkdtemp(&pattern[0]))
        return "";
    return pattern;
}

bool RemoveFolder(const std::string &folder)
{
    std::string command = "rm -rf '" + folder + "'";
    return std::system(command.c_str()) == 0;
}
