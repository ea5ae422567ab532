#include "ui/mainwindow/fileloadgate.h"

#include "ui/mainwindow/mainwindownotes.h"

#include <QFileInfo>
#include <QObject>

FileLoadGate::Request FileLoadGate::read(const QVariantMap& userInfo)
{
    Request request;
    if (userInfo.value(LoadKey::IsLocal).toString() == QStringLiteral("YES")) {
        request.path = userInfo.value(LoadKey::FilePath).toString();
        request.name = QFileInfo(request.path).fileName();
        return request;
    }
    if (const QObject* item = userInfo.value(LoadKey::ChildItem).value<QObject*>()) {
        request.path = item->property("itemPath").toString();
        request.name = item->property("itemTitle").toString();
    }
    request.currentView = userInfo.value(LoadKey::CurrentView);
    return request;
}

std::optional<FileLoadGate::Request> FileLoadGate::admit(const QVariantMap& userInfo, const QString& loadedFile)
{
    if (m_mutex == 0)
        return std::nullopt; // a load is under way
    Request request = read(userInfo);
    if (request.path.isEmpty() || request.path == loadedFile)
        return std::nullopt;
    m_mutex = 0;
    return request;
}
