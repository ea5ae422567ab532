#pragma once
// What the library list posts and answers on the notification centre.

#include <QLatin1StringView>

namespace LibraryNote {
// Show an entry's files: {"MenuItem": a VyListMenuItem}.
inline constexpr QLatin1StringView ShowChildItem { "ShowChildItem" };
// Show the CUSTOM entry titled "MenuItemName".
inline constexpr QLatin1StringView CallAppLoadItem { "CallAppLoadItem" };
} // namespace LibraryNote

namespace LibraryKey {
inline constexpr QLatin1StringView MenuItem { "MenuItem" };
inline constexpr QLatin1StringView MenuItemName { "MenuItemName" };
} // namespace LibraryKey
