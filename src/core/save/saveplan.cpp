#include "core/save/saveplan.h"

#include "core/convert/vyconverter.h"
#include "core/text/leadingnumber.h"

#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace {

// The path without the extension of its last component ("a/b.c" -> "a/b", "a.b/c" stays).
QString withoutExtension(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    const qsizetype dot = path.lastIndexOf(u'.');
    if (dot > slash + 1)
        return path.left(dot);
    return path;
}

} // namespace

QVariantMap SavePlan::saveAttribute() const
{
    return { { ConvertKey::ConverteStartTime, start }, { ConvertKey::ConverteLength, length },
        { ConvertKey::ConverteOutputVolume, soundVolume } };
}

QVariantMap SavePlan::fadeInOutEffect() const
{
    return { { ConvertKey::FadeInStartTime, fadeInStart }, { ConvertKey::FadeInLength, fadeInLength },
        { ConvertKey::FadeOutStartTime, fadeOutStart }, { ConvertKey::FadeOutLength, fadeOutLength } };
}

namespace SaveRules {

QString sanitizedName(const QString& typed)
{
    QString name = typed;
    name.remove(u'/');
    return name;
}

QString outputPath(bool isSaveAs, const QString& sourceFolder, const QString& saveFileName)
{
    if (isSaveAs) {
        const QString base = withoutExtension(saveFileName);
        if (QFileInfo(base).fileName().isEmpty())
            return {};
        return base + QStringLiteral(".m4r");
    }
    const QString name = sanitizedName(withoutExtension(saveFileName));
    if (name.isEmpty() || name == u"." || name == u"..")
        return {};
    return withoutExtension(sourceFolder) + u'/' + name + QStringLiteral(".m4r");
}

double fadeLength(double partLength, const QString& popUpTitle)
{
    const int seconds = leadingInt(popUpTitle);
    // The whole-second part of the length against the pop-up: the shorter of the two.
    return static_cast<int>(partLength) < seconds ? partLength : static_cast<double>(seconds);
}

bool needsLengthWarning(bool transferToPhone, bool showTimeTipIsNo, double partLength)
{
    return !transferToPhone && showTimeTipIsNo && partLength > kLengthWarningSeconds;
}

SavePlan plan(const SaveChoices& choices)
{
    SavePlan plan;
    plan.start = choices.startSeconds;
    plan.length = choices.endSeconds - choices.startSeconds;
    plan.soundVolume = choices.soundVolume;
    plan.outputPath = outputPath(choices.isSaveAs, choices.sourceFolder, choices.saveFileName);
    if (choices.fadeIn) {
        plan.fadeInLength = fadeLength(plan.length, choices.fadeInTitle);
        // From silence at the part's first sample, as the preview plays it.
        plan.fadeInStart = plan.start;
    }
    if (choices.fadeOut) {
        plan.fadeOutLength = fadeLength(plan.length, choices.fadeOutTitle);
        // Down to silence at the part's last sample.
        plan.fadeOutStart = plan.start + plan.length - plan.fadeOutLength;
    }
    return plan;
}

} // namespace SaveRules
