#pragma once
// The helper's voice on the session bus: the argument-less signals the application follows.

#include <QString>

namespace HelperBus {

// Emits one of the signals named in core/phone/phonesignals.h. Without a session bus it
// logs once and does nothing.
void emitSignal(const char* name);

// Returns once every signal emitted so far has been handed to the bus daemon.
void flush();

} // namespace HelperBus
