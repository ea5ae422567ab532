#include "ui/library/savedfile.h"

#include "core/notification/notificationcenter.h"
#include "ui/mainwindow/mainwindownotes.h"

#include <QFileInfo>

void announceSavedFile(const QString& path, const QString& entry, bool openInEditor, QObject* owner)
{
    NotificationCenter& centre = NotificationCenter::defaultCenter();
    centre.post(MainWindowNote::RefreshListMenu);
    centre.post(QStringLiteral("CallAppLoadItem"), nullptr, { { QStringLiteral("MenuItemName"), entry } });
    if (!openInEditor)
        return;
    auto* item = new SavedFileItem(path, QFileInfo(path).fileName(), entry, owner);
    const QVariant child = QVariant::fromValue<QObject*>(item);
    centre.post(MainWindowNote::LoadChildItemInAudioEditView, nullptr,
        { { LoadKey::ChildItem, child }, { QStringLiteral("ClickCount"), QStringLiteral("2") },
            { LoadKey::IsLocal, QStringLiteral("NO") }, { LoadKey::CurrentView, child } });
}
