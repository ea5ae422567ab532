#pragma once
// The links of the product configuration, with the built-in defaults used when a link
// is missing or empty there.

#include <QString>
#include <QUrl>

namespace ProductLinks {

// The configured link for `key`, else `fallback` (may be empty: then nothing opens).
[[nodiscard]] QUrl link(const QString& key, const QString& fallback = {});
// Built-in defaults.
[[nodiscard]] QString defaultGuide();
[[nodiscard]] QString defaultHomepage();
[[nodiscard]] QString defaultSupport();
[[nodiscard]] QString defaultSurvey();
[[nodiscard]] QString defaultHelp();
[[nodiscard]] QString defaultContact();

} // namespace ProductLinks
