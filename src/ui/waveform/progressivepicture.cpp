#include "ui/waveform/progressivepicture.h"

#include "core/environment/editingstate.h"
#include "ui/waveform/waveformgeometry.h"

#include <algorithm>
#include <cmath>

ProgressivePicture::ProgressivePicture(const WaveformRenderRequest& request)
    : m_request(request)
{
    m_request.points = nullptr;
    m_request.breakAtGaps = true;
}

void ProgressivePicture::take(const WaveformProgress& step)
{
    const auto end = static_cast<size_t>(step.firstPoint) + step.heights.size();
    const size_t size
        = std::max({ m_points.size(), static_cast<size_t>(std::max<int64_t>(0, step.expectedPoints)), end });
    if (size > m_points.size()) {
        const size_t from = m_points.size();
        m_points.resize(size);
        m_known.resize(size, false);
        for (size_t i = from; i < size; ++i)
            m_points[i].x = static_cast<float>(m_request.pointClearance * static_cast<double>(i));
    }
    for (size_t i = 0; i < step.heights.size(); ++i) {
        const auto at = static_cast<size_t>(step.firstPoint) + i;
        m_points[at].y = step.heights[i];
        m_known[at] = true;
    }
    m_fresh = true;
}

bool ProgressivePicture::pictureDue() const
{
    return m_fresh && (!m_sinceRender.isValid() || m_sinceRender.elapsed() >= kRenderIntervalMs);
}

ProgressivePicture::Picture ProgressivePicture::render()
{
    // Only the finished points go to the renderer, which breaks the stroke where x jumps.
    WaveformPoints known;
    known.reserve(m_points.size());
    for (size_t i = 0; i < m_points.size(); ++i) {
        if (m_known[i])
            known.push_back(m_points[i]);
    }
    Picture picture;
    const double dx = EditingState::pointCountPerSecond * m_request.pointClearance / 1000.0;
    picture.width = std::max(m_request.pointClearance * static_cast<double>(m_points.size()),
        static_cast<double>(WaveformArt::kMinimumWidth));
    picture.seconds = static_cast<int>(std::ceil(picture.width / (1000.0 * dx)));
    WaveformRenderRequest request = m_request;
    request.points = &known;
    request.width = picture.width;
    request.seconds = picture.seconds;
    picture.image = WaveformRenderer::render(request);
    m_fresh = false;
    m_sinceRender.start();
    return picture;
}
