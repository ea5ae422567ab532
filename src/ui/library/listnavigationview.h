#pragma once
// The bar above a file list: a back button to the menu and the title of the entry shown,
// shortened with " ..." when it does not fit.
//
// Main thread only.

#include <QWidget>

class QLineEdit;
class QPushButton;

class ListNavigationView : public QWidget {
    Q_OBJECT

public:
    static constexpr QSize kSize { 225, 30 };

    explicit ListNavigationView(QWidget* parent = nullptr);

    void setLocation(const QString& title);
    // The back button: rebuilds the menu ("refreshListMenu") and clears the title.
    void clickBackToLibrary();

    [[nodiscard]] QPushButton* libraryButton() const { return m_LibraryBtn; }
    [[nodiscard]] QLineEdit* currentPlaceField() const { return m_CurrentPlaceTF; }

    // What a field `fieldWidth` wide shows of `title` drawn `drawnWidth` wide.
    [[nodiscard]] static QString shortened(const QString& title, int drawnWidth, int fieldWidth);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPushButton* m_LibraryBtn = nullptr;
    QLineEdit* m_CurrentPlaceTF = nullptr;
    QPixmap m_BackImage;
};
