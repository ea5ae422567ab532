#include "core/waveform/slicepeaks.h"

#include "core/environment/editingstate.h"
#include "core/waveform/peakscan.h"

#include <algorithm>

namespace {

constexpr int64_t kSlicesPerSecond = EditingState::pointCountPerSecond;

} // namespace

SlicePeaks::SlicePeaks(int sampleRate, int channels)
    : m_rate(sampleRate)
    , m_channels(channels)
{
}

int64_t SlicePeaks::sliceOf(int64_t frame) const
{
    // The greatest k with floor(k * rate / 200) <= frame.
    return (kSlicesPerSecond * (frame + 1) + m_rate - 1) / m_rate - 1;
}

void SlicePeaks::add(const int16_t* data, int frames, int64_t position)
{
    if (frames <= 0 || m_rate <= 0 || m_channels <= 0)
        return;
    if (m_peaks.empty())
        m_first = sliceOf(position);
    const auto* bytes = reinterpret_cast<const uint8_t*>(data);
    const int64_t end = position + frames;
    int64_t slice = sliceOf(position);
    for (int64_t frame = position; frame < end; ++slice) {
        const int64_t sliceEnd = (slice + 1) * m_rate / kSlicesPerSecond;
        const int64_t take = std::min(end, sliceEnd) - frame;
        if (take <= 0)
            continue; // cannot happen at 200 Hz and above; guards the loop
        int32_t peak = 0;
        int32_t size = 0;
        peakscan::peakOf(bytes + (frame - position) * m_channels * 2, take * m_channels, 2, peak, size);
        const auto index = static_cast<size_t>(slice - m_first);
        if (index >= m_peaks.size())
            m_peaks.resize(index + 1);
        if (size > m_peaks[index].size)
            m_peaks[index] = SlicePeak { peak, size };
        frame += take;
    }
}

void SlicePeaks::join(std::vector<SlicePeak>& all, const SlicePeaks& later)
{
    if (later.m_peaks.empty())
        return;
    const auto first = static_cast<size_t>(later.m_first);
    all.resize(std::max(all.size(), first + later.m_peaks.size()));
    for (size_t i = 0; i < later.m_peaks.size(); ++i) {
        if (later.m_peaks[i].size > all[first + i].size)
            all[first + i] = later.m_peaks[i];
    }
}
