#include "core/environment/editingstate.h"

#include <utility>

void EditingState::publishPointArray(std::shared_ptr<const WaveformPoints> points)
{
    std::shared_ptr<const WaveformPoints> old;
    {
        std::lock_guard lock(m_pointsMutex);
        old = std::exchange(m_points, std::move(points));
    }
    // `old` is freed here, outside the lock.
}

std::shared_ptr<const WaveformPoints> EditingState::_cgPointArray() const
{
    std::lock_guard lock(m_pointsMutex);
    return m_points;
}

EditingState& gloableState()
{
    static EditingState state;
    return state;
}

void GloableVar::resetGloableVariable()
{
    EditingState& s = gloableState();
    s._waveformPointsCount = 0.0f;
    s._tempFolderPath.clear();
    s._sourceFileName.clear();
    s._moveDx = 0.0;
    s.publishPointArray(nullptr);
    s._pointClearance = 0.0;
}
