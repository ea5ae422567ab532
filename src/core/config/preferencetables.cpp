#include "core/config/preferencetables.h"

#include <array>

namespace PreferenceTables {

std::span<const PreferenceChoice> sampleRateDict()
{
    static const std::array<PreferenceChoice, 4> table { { { QStringLiteral("48000 Hz"), 48000 },
        { QStringLiteral("32000 Hz"), 32000 }, { QStringLiteral("44100 Hz"), 44100 },
        { QStringLiteral("22050 Hz"), 22050 } } };
    return table;
}

std::span<const PreferenceChoice> channelseDict()
{
    static const std::array<PreferenceChoice, 2> table { { { QStringLiteral("1 Channel Mono"), 1 },
        { QStringLiteral("2 Channels Stereo"), 2 } } };
    return table;
}

std::span<const PreferenceChoice> bitRateDict()
{
    static const std::array<PreferenceChoice, 5> table { { { QStringLiteral("64 kbps"), 64000 },
        { QStringLiteral("80 kbps"), 80000 }, { QStringLiteral("96 kbps"), 96000 },
        { QStringLiteral("128 kbps"), 128000 }, { QStringLiteral("160 kbps"), 160000 } } };
    return table;
}

std::span<const PreferenceChoice> keyMoveDict()
{
    static const std::array<PreferenceChoice, 3> table { { { QStringLiteral("1 s"), 1.0 },
        { QStringLiteral("0.5 s"), 0.5 }, { QStringLiteral("0.1 s"), 0.1 } } };
    return table;
}

std::span<const PreferenceChoice> ringsGapDict()
{
    static const std::array<PreferenceChoice, 6> table { { { QStringLiteral("0.5 sencod gap"), 0.5 },
        { QStringLiteral("1 sencod gap"), 1 }, { QStringLiteral("2 sencod gap"), 2 },
        { QStringLiteral("3 sencod gap"), 3 }, { QStringLiteral("4 sencod gap"), 4 },
        { QStringLiteral("5 sencod gap"), 5 } } };
    return table;
}

} // namespace PreferenceTables
