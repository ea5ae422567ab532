#pragma once
// Qt forms of the fixture helpers, and the ffmpeg command for files a test makes itself.

#include <QString>
#include <QStringList>

#include <string>

// A UTF-8 path or text as a QString.
QString q(const std::string& text);
// Path of a generated media file, as a QString.
QString fixture(const char* name);

// Runs `ffmpeg -nostdin -hide_banner -loglevel error -y ARGUMENTS`; true when it exits 0.
// Its error output lands in `error` when given.
bool runFfmpeg(const QStringList& arguments, QString* error = nullptr);
