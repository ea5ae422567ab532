#pragma once
// Logging for the media layer, which has no Qt. The application routes these lines
// into its own logging set-up; by default they go to standard error.

#include <functional>
#include <string_view>

namespace medialog {

enum class Level { Debug, Info, Warning, Error };

using Sink = std::function<void(Level, std::string_view)>;

// Not thread-safe against concurrent logging: install the sink once at start-up.
void setSink(Sink sink);

void write(Level level, std::string_view message);
inline void debug(std::string_view m)
{
    write(Level::Debug, m);
}
inline void info(std::string_view m)
{
    write(Level::Info, m);
}
inline void warning(std::string_view m)
{
    write(Level::Warning, m);
}
inline void error(std::string_view m)
{
    write(Level::Error, m);
}

} // namespace medialog
