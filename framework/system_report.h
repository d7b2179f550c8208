#pragma once
// The start-up report of date, operating system and memory written into the debug log.

#include <cstdint>
#include <string>
#include <vector>

namespace framework {

class DebugLog;

struct SystemFacts {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;  // local time
    // Linux reports no Windows platform family; the identifier is 0.
    int platformId = 0;
    int kernelMajor = 0, kernelMinor = 0, kernelPatch = 0;
    std::uint64_t availableBytes = 0, totalBytes = 0;
};

// Reads the clock (local time), uname and sysinfo.
SystemFacts CollectSystemFacts();

// The three entries of the report: date and time, operating system, memory.
std::vector<std::string> FormatSystemReport(const SystemFacts& facts);

void WriteSystemReport(DebugLog& log, const SystemFacts& facts);

}  // namespace framework
