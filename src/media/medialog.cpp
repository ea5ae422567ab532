#include "media/medialog.h"

#include <cstdio>
#include <utility>

namespace medialog {
namespace {

Sink& sink()
{
    static Sink s;
    return s;
}

const char* levelName(Level level)
{
    switch (level) {
    case Level::Debug: return "debug";
    case Level::Info: return "info";
    case Level::Warning: return "warning";
    case Level::Error: return "error";
    }
    return "";
}

} // namespace

void setSink(Sink s)
{
    sink() = std::move(s);
}

void write(Level level, std::string_view message)
{
    if (const Sink& s = sink()) {
        s(level, message);
        return;
    }
    if (level == Level::Debug)
        return;
    std::fprintf(
        stderr, "sonabel.media %s: %.*s\n", levelName(level), static_cast<int>(message.size()), message.data());
}

} // namespace medialog
