#include "core/editing/chosenpart.h"

#include <algorithm>
#include <cmath>

ChosenPart::ChosenPart(double moveDx, double waveformWidth)
    : m_moveDx(moveDx)
    , m_waveformWidth(waveformWidth)
{
}

double ChosenPart::minimumWidth() const
{
    // A file shorter than 5 s is taken whole: a 5 s floor would reach past its end.
    return std::min(toX(kMinimumMs), m_waveformWidth);
}

double ChosenPart::maximumWidth() const
{
    return std::min(toX(kMaximumMs), m_waveformWidth);
}

PartFrame ChosenPart::initialPart(bool* wholeFile) const
{
    const bool whole = m_waveformWidth < toX(kFirstPartMs);
    if (wholeFile != nullptr)
        *wholeFile = whole;
    return whole ? PartFrame { 0.0, m_waveformWidth } : PartFrame { 0.0, toX(kFirstPartMs) };
}

PartFrame ChosenPart::clamp(PartFrame part) const
{
    part.width = std::clamp(part.width, minimumWidth(), maximumWidth());
    part.x = std::clamp(part.x, 0.0, std::max(0.0, m_waveformWidth - part.width));
    return part;
}

PartFrame ChosenPart::enlarge(PartFrame part, double d, int direction) const
{
    const double right = part.right();
    if (direction == 1) {
        const double taken = std::min(d, part.x); // only as far as the file's start
        part.x -= taken;
        part.width += taken;
        if (part.width > maximumWidth()) {
            part.x = right - maximumWidth();
            part.width = maximumWidth();
        }
    } else {
        const double newRight = std::min(right + d, m_waveformWidth);
        part.width = std::min(newRight - part.x, maximumWidth());
    }
    return clamp(part);
}

PartFrame ChosenPart::narrow(PartFrame part, double d, int direction) const
{
    const double right = part.right();
    if (direction == 1) {
        part.x += d;
        part.width -= d;
        if (part.x > right - minimumWidth()) {
            part.x = right - minimumWidth();
            part.width = minimumWidth();
        }
    } else {
        part.width -= d;
        if (part.width < minimumWidth())
            part.width = minimumWidth();
    }
    return clamp(part);
}

int ChosenPart::grabZone(PartFrame part, double x, double y, double partHeight)
{
    if (x > part.x - kGrabZone && x <= part.x)
        return 0;
    if (x >= part.right() && x < part.right() + kGrabZone && y >= 0.0 && y <= partHeight)
        return 1;
    return -1;
}

PartFrame ChosenPart::resize(PartFrame part, ResizeDrag& drag, double pointerX) const
{
    if (!drag.following)
        return part;
    const double total = pointerX - drag.downX;
    const double step = total - drag.lastTotal;
    drag.lastTotal = total;
    const double s5 = minimumWidth();
    const double s60 = maximumWidth();
    const double right = part.right();
    PartFrame next = part;
    if (drag.direction == 1) {
        next.width = part.width + step;
        if (next.width > s60) {
            next.width = s60;
            drag.following = false;
        } else if (total < 0 && next.width <= s5) {
            next.width = s5;
            drag.following = false;
        }
        next.width = std::min(next.width, m_waveformWidth - next.x); // never past the file's end
    } else {
        next.x = part.x + step;
        next.width = part.width - step;
        if (next.width > s60) {
            next.x = right - s60;
            next.width = s60;
            drag.following = false;
        } else if (total > 0 && next.width <= s5) {
            next.x = right - s5;
            next.width = s5;
            drag.following = false;
        }
        if (next.x < 0.0) { // the left edge stops at the file's start
            next.x = 0.0;
            next.width = right;
        }
    }
    return clamp(next);
}

PartFrame ChosenPart::build(PartFrame current, double downX, double pointerX) const
{
    PartFrame next;
    next.width = std::min(std::trunc(std::abs(pointerX - downX)), maximumWidth());
    next.x = std::min(pointerX, downX);
    if (next.x < 0.0) {
        next.x = 0.0;
        next.width = current.width;
    }
    if (next.x < downX - maximumWidth())
        next.x = downX - maximumWidth();
    // The floor comes before the end-of-file check, so a short drag near the end still
    // gives a part inside the file.
    next.width = std::max(next.width, minimumWidth());
    if (next.right() > m_waveformWidth)
        next.x = m_waveformWidth - next.width;
    return clamp(next);
}

PartFrame ChosenPart::move(PartFrame part, double step) const
{
    part.x = std::clamp(part.x + step, 0.0, std::max(0.0, m_waveformWidth - part.width));
    return part;
}

double ChosenPart::rescale(double x, double from, double to)
{
    return from > 0.0 ? x / from * to : x;
}
