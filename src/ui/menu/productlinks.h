#pragma once
// The links of the product configuration, with the built-in defaults used when a link
// is missing or empty there, and the short text a link is shown with.

#include <QString>
#include <QUrl>

namespace ProductLinks {

// The configured link for `key`, else `fallback` (may be empty: then nothing opens).
[[nodiscard]] QUrl link(const QString& key, const QString& fallback = {});
// What a link reads as where it is shown: a web link's host and path, a mail link's
// address, a local file's name; empty for no link.
[[nodiscard]] QString displayText(const QUrl& url);
// Built-in defaults (the user guide's is the installed guide, see UserGuideWindow).
[[nodiscard]] QString defaultHomepage();
[[nodiscard]] QString defaultSupport();
[[nodiscard]] QString defaultSurvey();
[[nodiscard]] QString defaultHelp();
[[nodiscard]] QString defaultContact();

} // namespace ProductLinks
