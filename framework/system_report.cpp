#include "framework/system_report.h"

#include <sys/sysinfo.h>
#include <sys/utsname.h>

#include <cstdio>
#include <ctime>

#include "framework/debug_log.h"

namespace framework {

namespace {

// "6.1.0-18-amd64" -> 6, 1, 0: the leading numbers of the release text.
void ParseKernelRelease(const char* release, SystemFacts& facts) {
    int major = 0, minor = 0, patch = 0;
    if (std::sscanf(release, "%d.%d.%d", &major, &minor, &patch) >= 1) {
        facts.kernelMajor = major;
        facts.kernelMinor = minor;
        facts.kernelPatch = patch;
    }
}

std::string Format(const char* format, auto... values) {
    char buffer[256];
    const int length = std::snprintf(buffer, sizeof buffer, format, values...);
    return std::string(buffer, static_cast<std::size_t>(length < 0 ? 0 : length));
}

}  // namespace

SystemFacts CollectSystemFacts() {
    SystemFacts facts;
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local)) {
        facts.year = local.tm_year + 1900;
        facts.month = local.tm_mon + 1;
        facts.day = local.tm_mday;
        facts.hour = local.tm_hour;
        facts.minute = local.tm_min;
    }
    utsname name{};
    if (uname(&name) == 0) ParseKernelRelease(name.release, facts);
    struct sysinfo info {};
    if (sysinfo(&info) == 0) {
        facts.availableBytes = std::uint64_t{info.freeram} * info.mem_unit;
        facts.totalBytes = std::uint64_t{info.totalram} * info.mem_unit;
    }
    return facts;
}

std::vector<std::string> FormatSystemReport(const SystemFacts& f) {
    return {
        Format("%4d/%02d/%02d  %02d:%02d\n", f.year, f.month, f.day, f.hour, f.minute),
        Format("OS = ID %d ver,%d.%d build %d\n", f.platformId, f.kernelMajor, f.kernelMinor,
               f.kernelPatch),
        Format("利用可能／搭載メモリ = %d/%d MB\n", static_cast<int>(f.availableBytes >> 20),
               static_cast<int>(f.totalBytes >> 20)),
    };
}

void WriteSystemReport(DebugLog& log, const SystemFacts& facts) {
    for (const auto& entry : FormatSystemReport(facts)) log.Write(entry);
}

}  // namespace framework
