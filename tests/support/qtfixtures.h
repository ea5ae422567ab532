#pragma once
// Qt forms of the fixture helpers, and the ffmpeg command for files a test makes itself.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <string>

// A UTF-8 path or text as a QString.
QString q(const std::string& text);
// Path of a generated media file, as a QString.
QString fixture(const char* name);

// The bytes of a file; empty when it cannot be read.
QByteArray readBytes(const QString& path);
// Writes `bytes` to `path` in place of what was there; true when all were written.
bool writeBytes(const QString& path, const QByteArray& bytes);

// Every entry of a folder but "." and "..", hidden ones included, sorted by name.
QStringList entries(const QString& folder);

// Runs `ffmpeg -nostdin -hide_banner -loglevel error -y ARGUMENTS`; true when it exits 0.
// Its error output lands in `error` when given.
bool runFfmpeg(const QStringList& arguments, QString* error = nullptr);

// The messages of the message boxes on screen, in the order of the top-level windows.
QStringList openAlerts();
