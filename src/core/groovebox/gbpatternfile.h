#pragma once
// The pattern file the Groove Box hands to GBUtil: XML in UTF-8, pretty-printed,
//
//   <info>
//     <Instrument id="35">0,1,0,...</Instrument>   (47 of them, keys 35 to 81 in order,
//     ...                                           64 values of 0 or 1 each)
//     <Speed>3</Speed>
//   </info>

#include "core/groovebox/gbpattern.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace GBPatternFile {

// The scratch files' names in the music folder.
inline constexpr auto kPatternFileName = "CorvaneGBData.xml";
inline constexpr auto kMidiFileName = "CorvaneGBSound.mid";

// The largest speed a pattern file may hold; speeds are never negative.
inline constexpr int kMaxSpeed = 100;

[[nodiscard]] QByteArray toXml(const GBPattern& pattern);
// Written through a temporary name; false (and the reason in `error`) when it cannot be.
bool writePatternFile(const GBPattern& pattern, const QString& path, QString* error = nullptr);

// The pattern a file's text holds, or nothing (and the reason in `error`) when the text is
// not a pattern file: no "info" root, an instrument missing, out of order or with a bad
// id, a row without exactly 64 values of 0 or 1, a missing or bad speed.
[[nodiscard]] std::optional<GBPattern> fromXml(const QByteArray& text, QString* error = nullptr);
[[nodiscard]] std::optional<GBPattern> readPatternFile(const QString& path, QString* error = nullptr);

} // namespace GBPatternFile
