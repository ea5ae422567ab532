#include "ui/about/aboutpanelcontroller.h"

#include "core/config/productconfig.h"
#include "ui/links/linkopener.h"
#include "ui/menu/productlinks.h"

#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QUrl homeLink()
{
    return ProductLinks::link(QStringLiteral("HomepageURL"), ProductLinks::defaultHomepage());
}

QUrl supportLink()
{
    return ProductLinks::link(QStringLiteral("SupportURL"), ProductLinks::defaultSupport());
}

// A link reads as its host and path or its address; the whole link is in the tooltip.
void showLink(QPushButton* button, const QUrl& url)
{
    button->setText(ProductLinks::displayText(url));
    button->setToolTip(url.isLocalFile() ? url.toLocalFile() : url.toDisplayString());
}

QPushButton* linkButton(const QString& name)
{
    auto* button = new QPushButton;
    button->setObjectName(name);
    button->setFlat(true);
    button->setCursor(Qt::PointingHandCursor);
    button->setStyleSheet(QStringLiteral("QPushButton { color: blue; text-decoration: underline; border: none; }"));
    return button;
}

} // namespace

AboutPanelController::AboutPanelController(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("About"));
    setWindowTitle(QStringLiteral("About Corvane Sonabel"));
    m_productName = new QLabel(QStringLiteral("Corvane Sonabel"));
    m_productName->setObjectName(QStringLiteral("productName"));
    m_productName->setAlignment(Qt::AlignCenter);
    m_homePage = linkButton(QStringLiteral("homePage"));
    m_support = linkButton(QStringLiteral("support"));
    auto* icon = new QLabel;
    icon->setPixmap(QIcon(QStringLiteral(":/icons/corvane-sonabel.svg")).pixmap(96, 96));
    icon->setAlignment(Qt::AlignCenter);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(icon);
    layout->addWidget(m_productName);
    layout->addWidget(m_homePage);
    layout->addWidget(m_support);
    connect(m_homePage, &QPushButton::clicked, this, &AboutPanelController::clickHomePage);
    connect(m_support, &QPushButton::clicked, this, &AboutPanelController::clickSupport);

    showLink(m_homePage, homeLink());
    showLink(m_support, supportLink());
    // Without the configuration file the box keeps its plain name.
    if (!QFileInfo::exists(ProductConfig::shippedPath()))
        return;
    QFont font(QStringLiteral("Lucida Grande"));
    font.setPixelSize(18); // the design's points are screen pixels
    m_productName->setFont(font);
    m_productName->setStyleSheet(QStringLiteral("color: black;"));
    m_productName->setText(QStringLiteral("Corvane Sonabel ")
        + shortVersion(ProductConfig::getValueForKey(QStringLiteral("Version")).value_or(QString())));
}

QString AboutPanelController::shortVersion(const QString& version)
{
    qsizetype dots = 0;
    for (qsizetype i = 0; i < version.size(); ++i) {
        if (version.at(i) == u'.' && ++dots == 3)
            return version.left(i);
    }
    return version;
}

void AboutPanelController::clickHomePage()
{
    LinkOpener::open(homeLink());
}

void AboutPanelController::clickSupport()
{
    LinkOpener::open(supportLink());
}
