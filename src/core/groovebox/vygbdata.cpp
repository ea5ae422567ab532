#include "core/groovebox/vygbdata.h"

#include <array>
#include <pugixml.hpp>

namespace {

constexpr int kFirstKey = 35;

constexpr std::array<const char*, 47> kNames { "Acoustic bass drum", "Bass drum 1", "Side stick", "Acoustic snare",
    "Hand clap", "Electric snare", "Low floor tom", "Closed hi-hat", "High floor tom", "Pedal hi-hat", "Low tom",
    "Open hi-hat", "Low-mid tom", "Hi-mid tom", "Crash cymbal 1", "High tom", "Ride cymbal 1", "Chinese cymbal",
    "Ride bell", "Tambourine", "Splash cymbal", "Cowbell", "Crash cymbal 2", "Vibraslap", "Ride cymbal 2", "Hi bongo",
    "Low bongo", "Mute hi conga", "Open hi conga", "Low conga", "High timbale", "Low timbale", "High agogo",
    "Low agogo", "Cabasa", "Maracas", "Short whistle", "Long whistle", "Short guiro", "Long guiro", "Claves",
    "Hi wood block", "Low wood block", "Mute cuica", "Open cuica", "Mute triangle", "Open triangle" };

} // namespace

VyGBData::VyGBData(int instrumentID, int tickCount)
    : m_instrumentID(instrumentID)
    , m_ticks(qMax(tickCount, 0), 0)
{
}

VyGBData::VyGBData(int instrumentID, QList<int> ticks)
    : m_instrumentID(instrumentID)
    , m_ticks(std::move(ticks))
{
}

void VyGBData::setTick(int step, int value)
{
    if (step >= 0 && step < m_ticks.size())
        m_ticks[step] = value;
}

QString VyGBData::name() const
{
    return instrumentName(m_instrumentID);
}

QString VyGBData::description() const
{
    return QStringLiteral("ID:%1 ------- ticks:{%2}").arg(m_instrumentID).arg(stringValue(m_ticks));
}

pugi::xml_node VyGBData::getNode(pugi::xml_node parent) const
{
    pugi::xml_node node = parent.append_child("Instrument");
    node.append_attribute("id").set_value(m_instrumentID);
    node.text().set(stringValue(m_ticks).toUtf8().constData());
    return node;
}

QString instrumentName(int key)
{
    const int index = key - kFirstKey;
    if (index < 0 || index >= static_cast<int>(kNames.size()))
        return {};
    return QString::fromLatin1(kNames[static_cast<size_t>(index)]);
}

QString stringValue(const QList<int>& values)
{
    QString joined;
    joined.reserve(values.size() * 2);
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (i > 0)
            joined += u',';
        joined += QString::number(values[i]);
    }
    return joined;
}
