// GNU cmp -l and the report's difference lines in one comparable form.
#include "cmp_listing.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

static const char DIFFERENCE_MARK[] = " バイト目  ";

// cmp -l lists each differing byte as a 1-based offset and two octal values.
std::vector<std::string> ListWithCmp(const std::string &first, const std::string &second,
                                     const std::vector<std::string> &options)
{
    std::vector<std::string> lines;
    std::string command = "cmp -l";
    for (const std::string &option : options)
        command += " '" + option + "'";
    command += " '" + first + "' '" + second + "' 2>/dev/null";
    FILE *pipe = popen(command.c_str(), "r");
    long long offset;
    unsigned a, b;
    while (pipe && std::fscanf(pipe, "%lld %o %o", &offset, &a, &b) == 3) {
        char line[100];
        std::snprintf(line, sizeof line, " %9lld %u %u", offset - 1, a, b);
        lines.push_back(line);
    }
    if (pipe)
        pclose(pipe);
    return lines;
}

std::vector<std::string> ListedByReport(const std::string &report)
{
    std::vector<std::string> lines;
    for (size_t at = report.find(DIFFERENCE_MARK); at != std::string::npos;
         at = report.find(DIFFERENCE_MARK, at + 1)) {
        size_t begin = report.rfind("\r\n", at) + 2;
        std::string offset = report.substr(begin, at - begin);
        const char *rest = report.c_str() + at + std::strlen(DIFFERENCE_MARK);
        int a = std::atoi(rest);
        const char *second = std::strstr(rest, ")") + 1;
        while (*second && !(*second >= '0' && *second <= '9'))
            ++second;
        lines.push_back(offset + " " + std::to_string(a) + " " + std::to_string(std::atoi(second)));
    }
    return lines;
}
