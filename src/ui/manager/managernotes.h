#pragma once
// The manager's notification: which way the last drop moved ringtones.

#include <QLatin1StringView>

namespace ManagerNote {
// {"Dirction": 0 nothing selected, 1 from the phone, 2 from the computer}
inline constexpr QLatin1StringView ChangeDirctionBtnState { "ChangeDirctionBtnState" };
} // namespace ManagerNote

namespace ManagerKey {
inline constexpr QLatin1StringView Dirction { "Dirction" };
} // namespace ManagerKey
