#pragma once
// A Groove Box pattern: 47 percussion instruments (keys 35 to 81, in that order) by 64
// steps (16 beats of four), and a speed. Holds its own random source, so that the random
// patterns follow the same sequence every run whatever else draws random numbers.

#include "core/groovebox/vygbdata.h"

#include <QList>

#include <memory>

class GBPattern {
public:
    static constexpr int kFirstKey = 35;
    static constexpr int kLastKey = 81;
    static constexpr int kInstrumentCount = kLastKey - kFirstKey + 1;
    static constexpr int kStepCount = VyGBData::kTickCount;
    static constexpr int kDefaultSpeed = 3;
    static constexpr int kPresetCount = 4;

    GBPattern();
    ~GBPattern();
    // A copy carries on the random sequence from where the original is.
    GBPattern(const GBPattern& other);
    GBPattern& operator=(const GBPattern& other);

    // The model from a grid: row r (0 to 46) is key 35 + r, a cell sounds when it is 1.
    // Missing rows and cells are silent, so no argument gives the untouched pattern.
    void initGBData(const QList<QList<int>>& grid = {});
    // Every step of every instrument silent; the speed stays.
    void resetGBData();
    // Turns step `tick` of the instrument with key `instrument` on or off; ignores an
    // unknown key or a step outside 0 to 63.
    void setCell(int instrument, int tick, bool on = true);
    [[nodiscard]] bool isOn(int instrument, int tick) const;

    // Clears the pattern and punches preset `index` into it: 0 leaves it empty, 1 to 3 are
    // the built-in rhythms, any other index sets nothing. True when the index names a
    // rhythm, that is when there is something to turn into sound.
    bool presetTracks(int index);
    // Clears the pattern and fills it from the pattern's own random source: every first,
    // second or third instrument, on a few steps each.
    void generateRandomData();

    [[nodiscard]] const QList<VyGBData>& gbData() const { return m_gbData; }
    [[nodiscard]] int speed() const { return m_speed; }
    void setSpeed(int speed) { m_speed = speed; }
    // The number of steps that sound, over all instruments.
    [[nodiscard]] int onCount() const;

    // Equal steps and speed; the random source's position is not compared.
    bool operator==(const GBPattern& other) const;

private:
    class RandomSource;

    QList<VyGBData> m_gbData;
    int m_speed = kDefaultSpeed;
    std::unique_ptr<RandomSource> m_random;
};
