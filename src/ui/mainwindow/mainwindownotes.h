#pragma once
// What the main window answers on the notification centre, and the keys of their user
// info. Every way of bringing in a file posts a load request.

#include <QLatin1StringView>
#include <QString>
#include <QVariantMap>

namespace MainWindowNote {
inline constexpr QLatin1StringView LoadChildItemInAudioEditView { "LoadChildItemInAudioEditView" };
inline constexpr QLatin1StringView TrimOver { "TrimOver" }; // NewPath: the trimmed file
inline constexpr QLatin1StringView ClickRecord { "ClickRecord" };
inline constexpr QLatin1StringView ClickMusic { "ClickMusic" };
inline constexpr QLatin1StringView ClickMgr { "ClickMgr" };
inline constexpr QLatin1StringView LoadSuccess { "LoadSuccess" };
inline constexpr QLatin1StringView BecomeKeyWindow { "BecomeKeyWindow" };
inline constexpr QLatin1StringView RefreshListMenu { "refreshListMenu" };
} // namespace MainWindowNote

namespace LoadKey {
inline constexpr QLatin1StringView FilePath { "FilePath" };
inline constexpr QLatin1StringView IsLocal { "isLocal" }; // "YES" for a file path
inline constexpr QLatin1StringView ChildItem { "ChildItem" }; // a list item
inline constexpr QLatin1StringView CurrentView { "currentView" };
inline constexpr QLatin1StringView NewPath { "NewPath" };
} // namespace LoadKey

// The request to load the file at `path`.
inline QVariantMap loadRequest(const QString& path)
{
    return { { LoadKey::FilePath, path }, { LoadKey::IsLocal, QStringLiteral("YES") } };
}
