#pragma once
// The preferences' list of desktop library files the library list reads, with Add… and
// Remove. Each change is stored at once and the library list rebuilt.
//
// Main thread only.

#include <QGroupBox>

class QListWidget;
class QPushButton;

class LibraryFilesBox : public QGroupBox {
    Q_OBJECT

public:
    explicit LibraryFilesBox(QWidget* parent = nullptr);

    // Shows the stored files again.
    void reload();
    // Adds the file at `path` unless listed already.
    void addFile(const QString& path);
    // Removes the selected file.
    void removeSelected();
    // Asks for a file to add (a dialog on the preferences window).
    void chooseFile();

    [[nodiscard]] QListWidget* list() const { return m_list; }
    [[nodiscard]] QPushButton* removeButton() const { return m_remove; }

private:
    void store();

    QListWidget* m_list = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_remove = nullptr;
};
