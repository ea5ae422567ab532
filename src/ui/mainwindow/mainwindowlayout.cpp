#include "ui/mainwindow/mainwindowlayout.h"

#include "ui/player/playbackview.h"

#include <QActionGroup>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>

#include <functional>
#include <utility>

namespace {

// Reached with Tab, not taken by a click: a click leaves the keys with the editor.
QPushButton* flatButton(
    QWidget* parent, const char* name, const QString& icon, const QString& accessibleName, const QString& toolTip)
{
    auto* button = new QPushButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setIcon(QIcon(icon));
    button->setFlat(true);
    button->setFocusPolicy(Qt::TabFocus);
    button->setAccessibleName(accessibleName);
    button->setToolTip(toolTip);
    return button;
}

// The content view: its children are placed by hand (the editor area overlaps the list
// column's edge by a pixel) whenever it changes size.
class ContentView : public QWidget {
public:
    ContentView(QWidget* parent, std::function<void()> layout)
        : QWidget(parent)
        , m_layout(std::move(layout))
    {
    }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QWidget::resizeEvent(event);
        m_layout();
    }

private:
    std::function<void()> m_layout;
};

} // namespace

MainWindowLayout::MainWindowLayout(QMainWindow* window)
{
    contentView = new ContentView(window, [this] { layoutContent(); });
    contentView->setObjectName(QStringLiteral("contentView"));
    contentView->setMinimumSize(kWidth, kHeight);
    window->setCentralWidget(contentView);
    buildLeftColumn();
    buildBottomBand();
    window->resize(window->sizeHint());
    layoutContent();
}

QRect MainWindowLayout::editorArea() const
{
    const QSize size = contentView->size().expandedTo(QSize(kWidth, kHeight));
    return { kEditorX, 0, size.width() - kEditorX, size.height() - kBottomBorder };
}

void MainWindowLayout::placeInEditorArea(QWidget* view)
{
    if (!m_editorAreaViews.contains(view))
        m_editorAreaViews.append(view);
    view->setGeometry(editorArea());
}

void MainWindowLayout::layoutContent()
{
    const QRect area = editorArea();
    const int height = area.bottom() + 1;
    if (listColumn != nullptr)
        listColumn->setGeometry(0, 0, kListWidth, height);
    if (bottomBand != nullptr)
        bottomBand->setGeometry(0, height, contentView->width(), kBottomBorder);
    for (const QPointer<QWidget>& view : std::as_const(m_editorAreaViews)) {
        if (view != nullptr)
            view->setGeometry(area);
    }
}

void MainWindowLayout::buildLeftColumn()
{
    auto* column = new QWidget(contentView);
    column->setObjectName(QStringLiteral("listColumn"));
    column->setGeometry(0, 0, kListWidth, kHeight - kBottomBorder);
    listColumn = column;
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
    bottomBand = band;
    auto* layout = new QHBoxLayout(band);
    layout->setContentsMargins(6, 2, 6, 2);

    playViewBtn = flatButton(band, "m_PlayViewBtn", QStringLiteral(":/IDown.png"), QStringLiteral("Video viewer"),
        QStringLiteral("Show or hide video viewer."));
    ringtoneMgrBtn = flatButton(band, "ringtoneMgrBTN", QStringLiteral(":/RingtoneManagerPop.png"),
        QStringLiteral("Zirevove Vorurav"), QStringLiteral("Zirevove Vorurav"));
    grooveBoxBtn = new QPushButton(QStringLiteral("Groove Box"), band);
    grooveBoxBtn->setObjectName(QStringLiteral("grooveBoxBtn"));
    grooveBoxBtn->setFocusPolicy(Qt::TabFocus);
    grooveBoxBtn->setAccessibleName(QStringLiteral("Groove Box"));
    grooveBoxBtn->setToolTip(QStringLiteral("Make a drum rhythm and open it in the editor"));

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
    // Reached by a click or Tab; the editor gets its keys back when the field is left.
    searchField->setFocusPolicy(Qt::StrongFocus);
    searchField->setAccessibleName(QStringLiteral("Search"));
    searchField->setToolTip(QStringLiteral("Find songs and videos in the library: type and press Return"));
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
    pick->setToolTip(QStringLiteral("Choose what to search: all, artist, album, composer or song"));
    // The field's own buttons: the search method and clearing the text.
    for (QToolButton* part : searchField->findChildren<QToolButton*>()) {
        const bool picks = part->defaultAction() == pick;
        part->setAccessibleName(picks ? QStringLiteral("Search method") : QStringLiteral("Clear"));
        part->setToolTip(picks ? pick->toolTip() : QStringLiteral("Clear the search"));
    }
}

void MainWindowLayout::setVideoAreaOpen(bool open)
{
    playViewBtn->setIcon(QIcon(open ? QStringLiteral(":/IDown.png") : QStringLiteral(":/IUp.png")));
    const int total = listColumn->height() - searchField->sizeHint().height();
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
