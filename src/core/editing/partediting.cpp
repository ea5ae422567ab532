#include "core/editing/partediting.h"

#include "core/text/commonfunctions.h"
#include "core/text/leadingnumber.h"

#include <QStringList>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

// Typed times are whole seconds while frames come from pixel arithmetic: compare with a
// margin far below a millisecond at any zoom.
constexpr double kSamePixel = 1e-9;
// The margin the length checks have always allowed, in pixels.
constexpr double kLengthTolerance = 0.0001;

bool samePixel(double a, double b)
{
    return std::abs(a - b) <= kSamePixel * std::max(1.0, std::abs(b));
}

double fileEndPixels(const ChosenPart& rules, double movieLen)
{
    const double waveform = rules.waveformWidth();
    if (!(movieLen > 0.0) || !std::isfinite(movieLen))
        return waveform;
    return std::min(waveform, rules.toX(movieLen * 1000.0));
}

} // namespace

PartEditing::PartEditing(const ChosenPart& rules, double movieLen)
    : m_rules(rules.moveDx(), fileEndPixels(rules, movieLen))
    , m_fileSeconds(movieLen > 0.0 ? movieLen : rules.toMs(rules.waveformWidth()) / 1000.0)
{
}

bool PartEditing::isLoaded() const
{
    const double dx = m_rules.moveDx();
    return dx > 0.0 && std::isfinite(dx) && fileEnd() > 0.0;
}

int PartEditing::minimumSeconds() const
{
    if (!isLoaded())
        return static_cast<int>(ChosenPart::kMinimumMs / 1000.0);
    const double seconds = std::floor(m_rules.toMs(minimumWidth()) / 1000.0 + 1e-6);
    return std::clamp(static_cast<int>(seconds), 1, static_cast<int>(ChosenPart::kMinimumMs / 1000.0));
}

namespace {

// Rounded to the millisecond first, so that pixel arithmetic cannot move a whole second.
int wholeMs(double ms)
{
    return static_cast<int>(std::clamp(std::round(ms), 0.0, double(INT_MAX - 1000)));
}

} // namespace

QString PartEditing::startFieldText(double ms)
{
    return CommonFunctions::secondsToShortString((wholeMs(ms) + 999) / 1000, 3);
}

QString PartEditing::endFieldText(double ms)
{
    return CommonFunctions::secondsToShortString(wholeMs(ms) / 1000, 3);
}

PartFrame PartEditing::insideFile(PartFrame part) const
{
    part.x = std::clamp(part.x, 0.0, std::max(0.0, fileEnd() - part.width));
    return part;
}

PartEditing::StartResult PartEditing::typedStart(PartFrame current, const QString& text) const
{
    using Action = StartResult::Action;
    StartResult result;
    result.part = current;
    if (!isLoaded())
        return result;

    const int t = CommonFunctions::stringToMseconds(text);
    const double newX = std::max(0.0, m_rules.toX(t));
    if (samePixel(newX, current.x) || t / 1000.0 >= std::floor(m_fileSeconds)) {
        result.action = Action::RestoreFields;
    } else if (newX > current.x && newX < current.right()) {
        // The start moved into the part: its end stays, unless too little would remain.
        const double remaining = current.right() - newX;
        if (minimumWidth() > remaining + kLengthTolerance) {
            result.action = Action::ShowLengthAlert;
            result.afterAlert = insideFile(PartFrame { newX, minimumWidth() });
        } else {
            result.action = Action::Apply;
            result.part = PartFrame { newX, remaining };
        }
    } else {
        // The whole part moves; near the file's end it stops with its end there.
        result.action = Action::Apply;
        result.part = insideFile(PartFrame { newX, current.width });
    }
    result.startText = startFieldText(m_rules.toMs(result.part.x));
    result.endText = endFieldText(m_rules.toMs(result.part.right()));
    return result;
}

PartEditing::EndResult PartEditing::typedEnd(PartFrame current, const QString& text) const
{
    using Action = EndResult::Action;
    EndResult result;
    result.part = current;
    if (!isLoaded())
        return result;

    double newEnd = m_rules.toX(CommonFunctions::stringToMseconds(text));
    if (samePixel(newEnd, current.right()))
        return result;
    if (newEnd < current.x) {
        // The part waits for the alert; the field shows at once where it will end.
        const PartTexts after = afterLengthAlert(current);
        result.action = Action::ShowLengthAlert;
        result.afterAlert = after.part;
        result.endText = after.endText;
        return result;
    }
    if (newEnd > fileEnd() && !samePixel(newEnd, fileEnd())) {
        result.beep = true;
        newEnd = fileEnd();
    }
    PartFrame part { current.x, std::min(newEnd - current.x, m_rules.maximumWidth()) };
    result.action = Action::Apply;
    if (minimumWidth() > part.width + kLengthTolerance) {
        part.width = minimumWidth();
        result.action = Action::ShowLengthAlert;
    }
    result.part = insideFile(part);
    result.afterAlert = result.part;
    result.endText = endFieldText(m_rules.toMs(result.part.right()));
    return result;
}

QString PartEditing::lengthAlertText() const
{
    const int seconds = minimumSeconds();
    return QString::asprintf(
        "The output file duration should be %d s at least.It will be adjusted to %d s automatically.", seconds,
        seconds);
}

PartEditing::PartTexts PartEditing::afterLengthAlert(PartFrame current) const
{
    PartTexts result;
    result.part = current;
    if (!isLoaded())
        return result;
    result.part = insideFile(PartFrame { current.x, minimumWidth() });
    result.startText = startFieldText(m_rules.toMs(result.part.x));
    result.endText = endFieldText(m_rules.toMs(result.part.right()));
    return result;
}

double PartEditing::keyStepPixels(float keyMoveDist) const
{
    return isLoaded() ? 1000.0 * static_cast<double>(keyMoveDist) * m_rules.moveDx() : 0.0;
}

PartEditing::KeyResult PartEditing::arrowKey(PartFrame current, Key key, bool alt, float keyMoveDist) const
{
    KeyResult result { current, false };
    const double d = keyStepPixels(keyMoveDist);
    if (!(d > 0.0) || !std::isfinite(d))
        return result;

    if (alt) {
        switch (key) {
        case Key::Left: result.part = m_rules.enlarge(current, d, 1); break;
        case Key::Right: result.part = m_rules.enlarge(current, d, 2); break;
        case Key::Up: result.part = m_rules.narrow(current, d, 1); break;
        case Key::Down: result.part = m_rules.narrow(current, d, 2); break;
        }
    } else {
        switch (key) {
        case Key::Left: result.part = m_rules.move(current, -d); break;
        case Key::Right: result.part = m_rules.move(current, d); break;
        case Key::Up:
        case Key::Down: break;
        }
    }
    result.changed = !(result.part == current);
    return result;
}

QStringList PartEditing::fadeTitles()
{
    return { QStringLiteral("1s"), QStringLiteral("2s"), QStringLiteral("3s"), QStringLiteral("4s"),
        QStringLiteral("5s") };
}

int PartEditing::fadeSeconds(const QString& title)
{
    return leadingInt(title);
}
