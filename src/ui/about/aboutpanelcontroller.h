#pragma once
// The about box: the product name with the short version, and the home page and
// support links from the product configuration, each shown by a short readable text.
//
// Main thread only.

#include <QDialog>
#include <QString>
#include <QUrl>

class QLabel;
class QPushButton;

class AboutPanelController : public QDialog {
    Q_OBJECT

public:
    explicit AboutPanelController(QWidget* parent = nullptr);

    // `version` cut before its third "." ("2.1.0.15" gives "2.1.0"; "2.1" stays "2.1").
    [[nodiscard]] static QString shortVersion(const QString& version);

    void clickHomePage();
    void clickSupport();

    [[nodiscard]] QLabel* productName() const { return m_productName; }
    [[nodiscard]] QPushButton* homePage() const { return m_homePage; }
    [[nodiscard]] QPushButton* support() const { return m_support; }

private:
    QLabel* m_productName = nullptr;
    QPushButton* m_homePage = nullptr;
    QPushButton* m_support = nullptr;
};
