#pragma once
// The waveform points of one file, as the data engine delivers them to the view.
//
// Archive format (a property list, XML when we write it): one dictionary whose keys
// are "p0", "p1", ... in point order, each a dictionary with the reals "x" and "y",
// followed by the real "Capability", the number of points. A reader takes
// "Capability" first and then the points p0 up to the one below that count.

#include "core/environment/editingstate.h"

#include <QString>

#include <optional>
#include <vector>

struct SamplePoint {
    WaveformPoint cgSampPoint;
};

class SampleBlock {
public:
    [[nodiscard]] const std::vector<SamplePoint>& sampleBlk() const { return m_points; }
    std::vector<SamplePoint>& sampleBlk() { return m_points; }
    void setSampleBlk(std::vector<SamplePoint> points) { m_points = std::move(points); }

    // The number of points once the block is complete; 0 until then.
    [[nodiscard]] double capability() const { return m_capability; }
    void setCapability(double capability) { m_capability = capability; }

    // The points as the process-wide point array takes them.
    [[nodiscard]] WaveformPoints toWaveformPoints() const;

    [[nodiscard]] QByteArray toArchive() const;
    // None when the data is not such an archive.
    [[nodiscard]] static std::optional<SampleBlock> fromArchive(const QByteArray& data);

private:
    std::vector<SamplePoint> m_points;
    double m_capability = 0.0;
};
