#include "app/startuptimer.h"

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <time.h>
#include <unistd.h>

namespace {

const auto s_firstCall = std::chrono::steady_clock::now();

// Field 22 of /proc/self/stat: start time in clock ticks after boot. The command name
// (field 2) may hold blanks, so counting starts after its closing parenthesis.
bool startTicks(unsigned long long& ticks)
{
    std::ifstream file("/proc/self/stat");
    std::string line;
    if (!std::getline(file, line))
        return false;
    const auto close = line.rfind(')');
    if (close == std::string::npos)
        return false;
    std::istringstream rest(line.substr(close + 2));
    std::string field;
    for (int index = 3; index < 22; ++index)
        rest >> field;
    return static_cast<bool>(rest >> ticks);
}

} // namespace

double millisecondsSinceProcessStart()
{
    unsigned long long ticks = 0;
    timespec now {};
    const long perSecond = ::sysconf(_SC_CLK_TCK);
    if (perSecond > 0 && startTicks(ticks) && ::clock_gettime(CLOCK_BOOTTIME, &now) == 0) {
        const double nowMs = static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1.0e6;
        return nowMs - static_cast<double>(ticks) * 1000.0 / static_cast<double>(perSecond);
    }
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - s_firstCall).count();
}
