#pragma once
// The session-bus signals between the application and the phone mount helper. Both sides
// use one object path and one interface; the signals carry no arguments.

namespace PhoneSignals {

inline constexpr auto kPath = "/org/corvane/Sonabel";
inline constexpr auto kInterface = "org.corvane.Sonabel";

inline constexpr auto kDeviceConnected = "DeviceConnected";
inline constexpr auto kDeviceDisconnected = "DeviceDisconnected";
inline constexpr auto kDeviceUnmounted = "DeviceUnmounted";
// Emitted by the application as it quits.
inline constexpr auto kAppWillExit = "AppWillExit";

} // namespace PhoneSignals
