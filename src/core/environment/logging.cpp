#include "core/environment/logging.h"

#include "media/medialog.h"

#include <QString>

Q_LOGGING_CATEGORY(lcApp, "sonabel.app", QtInfoMsg)
Q_LOGGING_CATEGORY(lcMedia, "sonabel.media", QtWarningMsg)
Q_LOGGING_CATEGORY(lcFiles, "sonabel.files", QtInfoMsg)
Q_LOGGING_CATEGORY(lcPhone, "sonabel.phone", QtInfoMsg)

namespace logging {

void install()
{
    qSetMessagePattern(QStringLiteral("%{time hh:mm:ss.zzz} %{category} %{type}: %{message}"));
    medialog::setSink([](medialog::Level level, std::string_view message) {
        const QString text = QString::fromUtf8(message.data(), static_cast<qsizetype>(message.size()));
        switch (level) {
        case medialog::Level::Debug: qCDebug(lcMedia).noquote() << text; break;
        case medialog::Level::Info: qCInfo(lcMedia).noquote() << text; break;
        case medialog::Level::Warning: qCWarning(lcMedia).noquote() << text; break;
        case medialog::Level::Error: qCCritical(lcMedia).noquote() << text; break;
        }
    });
}

} // namespace logging
