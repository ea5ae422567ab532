#pragma once
// A file the program saved (a recording, a Groove Box rhythm) as the editor's load request
// names it: its path, its title and the library entry it belongs to ("Recorder File",
// "Groove Box File"); and the announcement of such a file to the library list and the editor.

#include <QObject>
#include <QString>

class SavedFileItem : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString itemPath READ itemPath CONSTANT)
    Q_PROPERTY(QString itemTitle READ itemTitle CONSTANT)
    Q_PROPERTY(QString fatherItemTitle READ fatherItemTitle CONSTANT)

public:
    SavedFileItem(QString path, QString title, QString fatherTitle, QObject* parent)
        : QObject(parent)
        , m_path(std::move(path))
        , m_title(std::move(title))
        , m_fatherTitle(std::move(fatherTitle))
    {
    }

    [[nodiscard]] QString itemPath() const { return m_path; }
    [[nodiscard]] QString itemTitle() const { return m_title; }
    [[nodiscard]] QString fatherItemTitle() const { return m_fatherTitle; }

private:
    QString m_path;
    QString m_title;
    QString m_fatherTitle;
};

// Tells the library list to rebuild and to show `entry` ("refreshListMenu", "CallAppLoadItem"
// {"MenuItemName": entry}) and, with `openInEditor`, asks the main window to load `path`
// ("LoadChildItemInAudioEditView" with a SavedFileItem owned by `owner`, which the editor
// keeps referring to).
void announceSavedFile(const QString& path, const QString& entry, bool openInEditor, QObject* owner);
