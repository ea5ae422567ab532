#pragma once
// A saved recording as the editor's load request names it: its path, its title and the
// library entry it belongs to ("Recorder File").

#include <QObject>
#include <QString>

class RecordedFileItem : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString itemPath READ itemPath CONSTANT)
    Q_PROPERTY(QString itemTitle READ itemTitle CONSTANT)
    Q_PROPERTY(QString fatherItemTitle READ fatherItemTitle CONSTANT)

public:
    RecordedFileItem(QString path, QString title, QString fatherTitle, QObject* parent)
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
