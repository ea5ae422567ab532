#include "core/groovebox/gbpattern.h"

#include <array>
#include <cstdlib>
#include <initializer_list>

// Seed 1 with 128 bytes of state, in a state of our own: the same numbers every run,
// whatever else in the process draws random numbers. A copy replays the draws made so far,
// since the state points into its own buffer and cannot be copied as it is.
class GBPattern::RandomSource {
public:
    explicit RandomSource(long draws = 0)
    {
        initstate_r(1, m_state.data(), m_state.size(), &m_data);
        for (long i = 0; i < draws; ++i)
            next();
    }
    RandomSource(const RandomSource&) = delete;
    RandomSource& operator=(const RandomSource&) = delete;

    long next()
    {
        int32_t value = 0;
        random_r(&m_data, &value);
        ++m_draws;
        return value;
    }
    [[nodiscard]] long draws() const { return m_draws; }

private:
    std::array<char, 128> m_state {};
    random_data m_data {}; // zeroed, as the state's set-up requires
    long m_draws = 0;
};

namespace {

// Steps `first`, `first + every`, ... below 64.
QList<int> everyStep(int first, int every)
{
    QList<int> steps;
    for (int t = first; t < GBPattern::kStepCount; t += every)
        steps.append(t);
    return steps;
}

const std::initializer_list<int> kBackbeat { 4, 12, 20, 28, 36, 44, 52, 60 };

} // namespace

GBPattern::GBPattern()
    : m_random(std::make_unique<RandomSource>())
{
    initGBData();
}

GBPattern::~GBPattern() = default;

GBPattern::GBPattern(const GBPattern& other)
    : m_gbData(other.m_gbData)
    , m_speed(other.m_speed)
    , m_random(std::make_unique<RandomSource>(other.m_random->draws()))
{
}

GBPattern& GBPattern::operator=(const GBPattern& other)
{
    if (this != &other) {
        m_gbData = other.m_gbData;
        m_speed = other.m_speed;
        m_random = std::make_unique<RandomSource>(other.m_random->draws());
    }
    return *this;
}

void GBPattern::initGBData(const QList<QList<int>>& grid)
{
    m_gbData.clear();
    m_gbData.reserve(kInstrumentCount);
    for (int row = 0; row < kInstrumentCount; ++row) {
        QList<int> ticks(kStepCount, 0);
        if (row < grid.size()) {
            const QList<int>& cells = grid[row];
            for (int t = 0; t < kStepCount && t < cells.size(); ++t)
                ticks[t] = cells[t] == 1 ? 1 : 0;
        }
        m_gbData.append(VyGBData(kFirstKey + row, std::move(ticks)));
    }
}

void GBPattern::resetGBData()
{
    m_gbData.clear();
    m_gbData.reserve(kInstrumentCount);
    for (int row = 0; row < kInstrumentCount; ++row)
        m_gbData.append(VyGBData(kFirstKey + row, kStepCount));
}

void GBPattern::setCell(int instrument, int tick, bool on)
{
    if (tick < 0 || tick >= kStepCount)
        return;
    for (VyGBData& data : m_gbData) {
        if (data.instrumentID() == instrument) {
            data.setTick(tick, on ? 1 : 0);
            return;
        }
    }
}

bool GBPattern::isOn(int instrument, int tick) const
{
    for (const VyGBData& data : m_gbData) {
        if (data.instrumentID() == instrument)
            return tick >= 0 && tick < data.ticks().size() && data.ticks()[tick] == 1;
    }
    return false;
}

bool GBPattern::presetTracks(int index)
{
    resetGBData();
    const auto punch = [this](int key, const auto& steps) {
        for (int t : steps)
            setCell(key, t);
    };
    switch (index) {
    case 1:
        punch(42, everyStep(0, 2));
        punch(38, kBackbeat);
        punch(35, std::initializer_list<int> { 0, 3, 6, 8, 16, 19, 22, 24, 32, 35, 38, 40, 48, 51, 54, 56 });
        break;
    case 2:
        punch(49, everyStep(0, 4));
        punch(44, everyStep(0, 2));
        punch(38, kBackbeat);
        punch(35,
            std::initializer_list<int> { 0, 2, 3, 7, 9, 10, 15, 16, 18, 19, 23, 25, 26, 31, 32, 34, 35, 39, 41, 42, 47,
                48, 50, 51, 55, 57, 58, 63 });
        break;
    case 3:
        punch(53, everyStep(0, 4));
        punch(44, everyStep(2, 4));
        punch(39, kBackbeat);
        punch(50, std::initializer_list<int> { 13, 29, 45, 46, 61 });
        punch(45, std::initializer_list<int> { 14, 30, 62 });
        punch(36,
            std::initializer_list<int> { 0, 3, 6, 9, 15, 16, 19, 22, 25, 31, 32, 35, 38, 41, 47, 48, 51, 54, 57, 63 });
        break;
    default: break;
    }
    return index >= 1 && index < kPresetCount;
}

void GBPattern::generateRandomData()
{
    resetGBData();
    const int instrumentStep = static_cast<int>(m_random->next() % 3) + 1;
    for (int key = kFirstKey; key <= kLastKey; key += instrumentStep) {
        // Each instrument sounds at most every third to fifth step.
        for (int t = 0; t < kStepCount; t += key % 3 + 3) {
            if ((m_random->next() >> (t % 32)) & 1)
                setCell(key, t);
        }
    }
}

int GBPattern::onCount() const
{
    int count = 0;
    for (const VyGBData& data : m_gbData)
        count += static_cast<int>(data.ticks().count(1));
    return count;
}

bool GBPattern::operator==(const GBPattern& other) const
{
    return m_speed == other.m_speed && m_gbData == other.m_gbData;
}
