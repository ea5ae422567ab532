#include "ui/mainwindow/mainwindowlayout.h"

#include "ui/player/playbackview.h"

#include <QActionGroup>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

namespace {

QPushButton* flatButton(QWidget* parent, const char* name, const QString& icon, const QString& toolTip)
{
    auto* button = new QPushButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setIcon(QIcon(icon));
    button->setFlat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setToolTip(toolTip);
    return button;
}

} // namespace

MainWindowLayout::MainWindowLayout(QMainWindow* window)
{
    contentView = new QWidget(window);
    contentView->setObjectName(QStringLiteral("contentView"));
    contentView->setFixedSize(kWidth, kHeight);
    window->setCentralWidget(contentView);
    // The window cannot be resized: it is as large as its content and the menu bar.
    window->layout()->setSizeConstraint(QLayout::SetFixedSize);
    buildLeftColumn();
    buildBottomBand();
}

void MainWindowLayout::buildLeftColumn()
{
    auto* column = new QWidget(contentView);
    column->setObjectName(QStringLiteral("listColumn"));
    column->setGeometry(0, 0, kListWidth, kHeight - kBottomBorder);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    initSearchField();
    layout->addWidget(searchField);

    bwSplitView = new QSplitter(Qt::Vertical, column);
    bwSplitView->setObjectName(QStringLiteral("bwSplitView"));
    bwSplitView->setChildrenCollapsible(true);
    listViewFather = new QWidget;
    listViewFather->setObjectName(QStringLiteral("listViewFather"));
    listViewFather->setAutoFillBackground(true);
    QPalette palette = listViewFather->palette();
    palette.setColor(QPalette::Window, QColor(0xdf, 0xe4, 0xea));
    listViewFather->setPalette(palette);
    videoArea = new QWidget;
    videoArea->setObjectName(QStringLiteral("videoArea"));
    auto* videoLayout = new QVBoxLayout(videoArea);
    videoLayout->setContentsMargins(0, 0, 0, 0);
    playView = new PlayBackView;
    playView->setObjectName(QStringLiteral("playView"));
    playView->setFixedHeight(PlayBackView::kComposedBox.height() + PlayBackView::kCaptionHeight);
    videoLayout->addWidget(playView);
    bwSplitView->addWidget(listViewFather);
    bwSplitView->addWidget(videoArea);
    bwSplitView->setStretchFactor(0, 1);
    bwSplitView->setStretchFactor(1, 0);
    layout->addWidget(bwSplitView, 1);
}

void MainWindowLayout::buildBottomBand()
{
    auto* band = new QWidget(contentView);
    band->setObjectName(QStringLiteral("bottomBand"));
    band->setGeometry(0, kHeight - kBottomBorder, kWidth, kBottomBorder);
    auto* layout = new QHBoxLayout(band);
    layout->setContentsMargins(6, 2, 6, 2);

    playViewBtn = flatButton(
        band, "m_PlayViewBtn", QStringLiteral(":/IDown.png"), QStringLiteral("Show or hide video viewer."));
    ringtoneMgrBtn = flatButton(
        band, "ringtoneMgrBTN", QStringLiteral(":/RingtoneManagerPop.png"), QStringLiteral("Zirevove Vorurav"));
    grooveBoxBtn = new QPushButton(QStringLiteral("Groove Box"), band);
    grooveBoxBtn->setObjectName(QStringLiteral("grooveBoxBtn"));
    grooveBoxBtn->setFocusPolicy(Qt::NoFocus);

    layout->addWidget(playViewBtn);
    layout->addStretch();
    layout->addWidget(grooveBoxBtn);
    layout->addWidget(ringtoneMgrBtn);
}

void MainWindowLayout::initSearchField()
{
    searchField = new QLineEdit;
    searchField->setObjectName(QStringLiteral("searchField"));
    searchField->setPlaceholderText(QStringLiteral("Search"));
    searchField->setClearButtonEnabled(true);
    // Keys belong to the editor; the field takes focus only when clicked.
    searchField->setFocusPolicy(Qt::ClickFocus);
    searchMenu = new QMenu(searchField);
    searchMenu->setObjectName(QStringLiteral("searchMenu"));
    const QStringList titles { QStringLiteral("Search"), QStringLiteral("  All"), QStringLiteral("  Artist"),
        QStringLiteral("  Album"), QStringLiteral("  Composer"), QStringLiteral("  Song") };
    // One mode at a time: checking one unchecks the others.
    auto* modes = new QActionGroup(searchMenu);
    for (int tag = 0; tag < titles.size(); ++tag) {
        QAction* item = searchMenu->addAction(titles.at(tag));
        item->setData(tag);
        item->setEnabled(tag != 0);
        if (tag != 0) {
            item->setCheckable(true);
            item->setChecked(tag == 1);
            modes->addAction(item);
        }
    }
    QAction* pick = searchField->addAction(QIcon::fromTheme(QStringLiteral("edit-find")), QLineEdit::LeadingPosition);
    QObject::connect(pick, &QAction::triggered, searchMenu,
        [this] { searchMenu->popup(searchField->mapToGlobal(QPoint(0, searchField->height()))); });
}

void MainWindowLayout::setVideoAreaOpen(bool open)
{
    playViewBtn->setIcon(QIcon(open ? QStringLiteral(":/IDown.png") : QStringLiteral(":/IUp.png")));
    const int total = kHeight - kBottomBorder - searchField->sizeHint().height();
    const int video = open ? playView->height() : 0;
    bwSplitView->setSizes({ total - video, video });
    videoArea->setVisible(open);
}

void MainWindowLayout::checkSearchItem(int tag)
{
    const QList<QAction*> items = searchMenu->actions();
    if (tag > 0 && tag < items.size())
        items.at(tag)->setChecked(true);
}
