#pragma once
// What a ringtone save does, decided before the conversion starts: where the ringtone goes,
// which part of the file it takes, its fades, and whether the 40-second warning is due.
// Plain values so that the rules are testable without the editor.

#include <QString>
#include <QVariantMap>

struct SaveChoices {
    double startSeconds = 0.0; // the chosen part on the source's timeline
    double endSeconds = 0.0;
    bool isSaveAs = false;
    QString sourceFolder; // the temporary folder (add to library)
    QString saveFileName; // the typed name, or the picked path in save as
    bool fadeIn = false;
    QString fadeInTitle; // the pop-up's title; its leading number is the seconds
    bool fadeOut = false;
    QString fadeOutTitle;
    int soundVolume = 100; // percent
};

struct SavePlan {
    double start = 0.0;
    double length = 0.0;
    QString outputPath; // empty when the name leaves nothing to name a file
    double fadeInStart = 0.0;
    double fadeInLength = 0.0;
    double fadeOutStart = 0.0;
    double fadeOutLength = 0.0;
    int soundVolume = 100;

    // The converter's "save attributes" and "fade effect" dictionaries.
    [[nodiscard]] QVariantMap saveAttribute() const;
    [[nodiscard]] QVariantMap fadeInOutEffect() const;
};

namespace SaveRules {

inline constexpr double kLengthWarningSeconds = 40.0;

[[nodiscard]] SavePlan plan(const SaveChoices& choices);

// The output path: in save as the picked path with ".m4r" in place of its extension;
// otherwise the folder + the typed name without its extension and without any "/" +
// ".m4r". Empty when nothing is left to name a file ("", "/", "." or "..").
[[nodiscard]] QString outputPath(bool isSaveAs, const QString& sourceFolder, const QString& saveFileName);

// A fade is the smaller of the part's length and the pop-up's whole seconds.
[[nodiscard]] double fadeLength(double partLength, const QString& popUpTitle);

// The warning is due when the transfer box is off, "ShowTimeTip" reads "NO" and the part
// is longer than 40 s.
[[nodiscard]] bool needsLengthWarning(bool transferToPhone, bool showTimeTipIsNo, double partLength);

// "/" removed: a typed name never reaches a path with a separator in it.
[[nodiscard]] QString sanitizedName(const QString& typed);

} // namespace SaveRules
