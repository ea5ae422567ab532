#pragma once
// Logging categories of the application. Everything goes to standard error through
// Qt's message handler; the media layer's lines are routed into "sonabel.media".

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcApp)
Q_DECLARE_LOGGING_CATEGORY(lcMedia)
Q_DECLARE_LOGGING_CATEGORY(lcFiles)
Q_DECLARE_LOGGING_CATEGORY(lcPhone)

namespace logging {

// Installs the message pattern and routes the media layer's log lines. Idempotent.
void install();

} // namespace logging
