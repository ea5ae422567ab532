#include "ui/mainwindow/windowregistry.h"

void WindowRegistry::add(Function function, Opener opener)
{
    if (opener)
        m_openers[function] = [opener = std::move(opener)](QWidget* mainWindow, const QString&) { opener(mainWindow); };
}

void WindowRegistry::addFileOpener(Function function, FileOpener opener)
{
    if (opener)
        m_openers[function] = std::move(opener);
}

bool WindowRegistry::open(Function function, QWidget* mainWindow, const QString& file) const
{
    const auto found = m_openers.find(function);
    if (found == m_openers.end())
        return false;
    found->second(mainWindow, file);
    return true;
}

QString WindowRegistry::displayName(Function function)
{
    switch (function) {
    case Function::Recorder: return QStringLiteral("The recorder");
    case Function::RingtoneManager: return QStringLiteral("The ringtone manager");
    case Function::GrooveBox: return QStringLiteral("The Groove Box");
    case Function::Trim: return QStringLiteral("Trimming");
    case Function::Library: return QStringLiteral("The library list");
    }
    return {};
}
