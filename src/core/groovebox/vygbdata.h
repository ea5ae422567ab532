#pragma once
// One instrument row of a Groove Box pattern: its General MIDI percussion key and whether
// it sounds on each of the 64 steps.

#include <QList>
#include <QString>

namespace pugi {
class xml_node;
}

class VyGBData {
public:
    static constexpr int kTickCount = 64;

    // `tickCount` silent steps.
    VyGBData(int instrumentID, int tickCount);
    // Keeps the given steps as they are (1 sounds, 0 is silent).
    VyGBData(int instrumentID, QList<int> ticks);

    [[nodiscard]] int instrumentID() const { return m_instrumentID; }
    [[nodiscard]] const QList<int>& ticks() const { return m_ticks; }
    // Ignores a step outside the row.
    void setTick(int step, int value);

    // The instrument's name as the grid shows it; empty for a key outside 35 to 81.
    [[nodiscard]] QString name() const;
    // "ID:35 ------- ticks:{0,1,...}", for logs.
    [[nodiscard]] QString description() const;
    // Appends this row's "Instrument" element (attribute "id", the steps as text) to
    // `parent` and returns it.
    pugi::xml_node getNode(pugi::xml_node parent) const;

    bool operator==(const VyGBData&) const = default;

private:
    int m_instrumentID;
    QList<int> m_ticks;
};

// The name of percussion key `key` (35 to 81); empty for any other key.
[[nodiscard]] QString instrumentName(int key);

// The values joined by "," with no blanks; empty for no values.
[[nodiscard]] QString stringValue(const QList<int>& values);
