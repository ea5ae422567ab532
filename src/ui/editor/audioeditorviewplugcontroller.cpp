#include "ui/editor/audioeditorviewplugcontroller.h"

#include "core/metadata/getfileinfousequicktime.h"
#include "core/notification/notificationcenter.h"
#include "ui/editor/backgroundviews.h"
#include "ui/fonts/fontsubstitutions.h"
#include "ui/waveform/waveformnotes.h"

#include <QColor>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>
#include <QList>
#include <QPalette>
#include <QTextBoundaryFinder>

#include <algorithm>

namespace {

const int kMargin = 8;
const int kGap = 8;

// Light text on the panel's dark picture; captions quieter, the selected length in the accent.
const QColor kValueColor(0xe6, 0xea, 0xf0);
const QColor kCaptionColor(0x9a, 0xa3, 0xb0);
const QColor kAccentColor(0xad, 0xc5, 0xe8);

QString emptyPlayTime()
{
    return QStringLiteral("00:00:00 / 00:00:00");
}

QFont styleFont(int pointSize)
{
    QFont font(AudioEditorViewPlugController::fontFamily());
    font.setPointSize(pointSize);
    return font;
}

} // namespace

AudioEditorViewPlugController::AudioEditorViewPlugController(QWidget* parent)
    : QWidget(parent)
    , m_viewPlug(new AudioEditorViewPlug(this))
{
    m_nameTF = makeField(QStringLiteral("nameTF"), kTitlePointSize, kValueColor);
    m_composerTF = makeField(QStringLiteral("m_ComposerTF"), kDetailPointSize, kValueColor);
    m_albumTF = makeField(QStringLiteral("m_AlbumTF"), kDetailPointSize, kValueColor);
    m_playTimeTF = makeField(QStringLiteral("playTimeTF"), kDetailPointSize, kValueColor);
    m_chooseLengthTF = makeField(QStringLiteral("chooseLengthTF"), kTitlePointSize, kAccentColor);
    m_currentTimeDownTF = makeField(QStringLiteral("currentTimeDownTF"), kCaptionPointSize, kCaptionColor);
    m_songLengthDownTF = makeField(QStringLiteral("songLengthDownTF"), kCaptionPointSize, kCaptionColor);
    m_chooseLengthDownTF = makeField(QStringLiteral("chooseLengthDownTF"), kCaptionPointSize, kCaptionColor);
    m_currentTimeDownTF->setText(QStringLiteral("Current Time"));
    m_songLengthDownTF->setText(QStringLiteral("Total Length"));
    m_chooseLengthDownTF->setText(QStringLiteral("Selected Length"));

    // The panel is the context: the observer goes away with it.
    NotificationCenter::defaultCenter().addObserver(
        this, WaveformNote::ResizeChooseTimeLen, nullptr, [this](const Notification& notification) {
            const auto length = notification.userInfo.constFind(WaveformKey::ChooseTimeLen);
            if (length != notification.userInfo.constEnd())
                setChooseLength(length->toString());
        });

    // Fields get their widths now, not on first show, so that texts set before then fit.
    resize(sizeHint());
    m_viewPlug->setGeometry(rect());
    layoutFields();
    clearDisplay();
}

QLabel* AudioEditorViewPlugController::makeField(const QString& name, int pointSize, const QColor& color)
{
    auto* field = new QLabel(m_viewPlug);
    field->setObjectName(name);
    // File names and tags are shown as they are, never as markup.
    field->setTextFormat(Qt::PlainText);
    field->setFont(styleFont(pointSize));
    QPalette palette = field->palette();
    palette.setColor(QPalette::WindowText, color);
    field->setPalette(palette);
    return field;
}

QString AudioEditorViewPlugController::fontFamily()
{
    static const QString family = [] {
        const QString geneva = QStringLiteral("Geneva");
        if (fontFamilyDrawable(geneva))
            return geneva;
        return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    }();
    return family;
}

QSize AudioEditorViewPlugController::sizeHint() const
{
    const int title = QFontMetrics(m_nameTF->font()).height();
    const int detail = QFontMetrics(m_composerTF->font()).height();
    const int caption = QFontMetrics(m_currentTimeDownTF->font()).height();
    const QSize picture = m_viewPlug->picture().size();
    return { picture.width(), std::max(picture.height(), 2 + title + detail + 1 + title + caption + 2) };
}

void AudioEditorViewPlugController::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_viewPlug->setGeometry(rect());
    layoutFields();
    showFitted(m_nameTF, m_fileName);
    showFitted(m_composerTF, m_composer);
    showFitted(m_albumTF, m_album);
}

void AudioEditorViewPlugController::layoutFields()
{
    // Four rows from the top: name; composer and album; play time beside the selected
    // length; the captions under the times.
    const int title = QFontMetrics(m_nameTF->font()).height();
    const int detail = QFontMetrics(m_composerTF->font()).height();
    const int caption = QFontMetrics(m_currentTimeDownTF->font()).height();
    const int inner = std::max(0, width() - 2 * kMargin);
    const int half = std::max(0, (inner - kGap) / 2);

    int y = 2;
    m_nameTF->setGeometry(kMargin, y, inner, title);
    y += title;
    m_composerTF->setGeometry(kMargin, y, half, detail);
    m_albumTF->setGeometry(kMargin + inner - half, y, half, detail);
    y += detail + 1;

    const QFontMetrics captionMetrics(m_chooseLengthDownTF->font());
    const int rightWidth
        = std::min(inner, std::max(inner / 3, captionMetrics.horizontalAdvance(m_chooseLengthDownTF->text())));
    const int rightX = kMargin + inner - rightWidth;
    const int leftWidth = std::max(0, inner - rightWidth - kGap);
    m_chooseLengthTF->setGeometry(rightX, y, rightWidth, title);
    // Bottom-aligned with the larger selected length beside it.
    m_playTimeTF->setGeometry(kMargin, y + title - detail, leftWidth, detail);
    y += title;

    // "Total Length" stands under the total, which follows the elapsed time and " / ", but
    // never runs into "Current Time".
    const int totalOffset = std::min(leftWidth,
        std::max(QFontMetrics(m_playTimeTF->font()).horizontalAdvance(QStringLiteral("00:00:00 / ")),
            captionMetrics.horizontalAdvance(m_currentTimeDownTF->text()) + kGap));
    m_currentTimeDownTF->setGeometry(kMargin, y, totalOffset, caption);
    m_songLengthDownTF->setGeometry(kMargin + totalOffset, y, leftWidth - totalOffset, caption);
    m_chooseLengthDownTF->setGeometry(rightX, y, rightWidth, caption);
}

void AudioEditorViewPlugController::clearDisplay()
{
    m_fileName.clear();
    m_nameTF->clear();
    setPlayTime(emptyPlayTime());
    setChooseLength(QStringLiteral("40s"));
    setComposer(QString());
    setAlbum(QString());
}

bool AudioEditorViewPlugController::setFileName(const QString& path, const QString& displayName)
{
    m_fileName = displayName;
    showFitted(m_nameTF, m_fileName);

    const GetFileInfoUseQuickTime info(path);
    const std::optional<QString> composer = info.getComposer();
    const std::optional<QString> album = info.getAlbum();
    if (!composer && !album)
        return false;
    if (composer)
        setComposer(*composer);
    if (album)
        setAlbum(*album);
    return true;
}

void AudioEditorViewPlugController::setPlayTime(const QString& text)
{
    m_playTimeTF->setText(text);
}

void AudioEditorViewPlugController::setChooseLength(const QString& text)
{
    m_chooseLengthTF->setText(text);
}

void AudioEditorViewPlugController::setComposer(const QString& composer)
{
    m_composer = composer;
    showFitted(m_composerTF, m_composer);
}

void AudioEditorViewPlugController::setAlbum(const QString& album)
{
    m_album = album;
    showFitted(m_albumTF, m_album);
}

void AudioEditorViewPlugController::showFitted(QLabel* field, const QString& full)
{
    field->setText(changeStringToFitTextField(full, field->font(), field->contentsRect().width()));
}

QString AudioEditorViewPlugController::changeStringToFitTextField(const QString& text, const QFont& font, int width)
{
    const QFontMetrics metrics(font);
    if (metrics.horizontalAdvance(text) <= width)
        return text;

    const QString ellipsis = QStringLiteral(" ...");
    // Cut only between whole characters: never inside a surrogate pair or before an accent.
    QList<qsizetype> cuts { 0 };
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    for (qsizetype cut = finder.toNextBoundary(); cut > 0 && cut < text.size(); cut = finder.toNextBoundary())
        cuts.push_back(cut);

    // Measured rather than estimated from the average character width, which can overflow:
    // the longest prefix whose shortened form fits. Advances grow (near enough) with the
    // prefix, so a binary search finds it, and whatever it lands on was measured to fit.
    const auto fits = [&](qsizetype cut) { return metrics.horizontalAdvance(text.left(cut) + ellipsis) <= width; };
    if (!fits(0))
        return QString();
    qsizetype good = 0; // index into cuts whose prefix fits
    qsizetype bad = cuts.size(); // first index known not to fit
    while (bad - good > 1) {
        const qsizetype middle = good + (bad - good) / 2;
        if (fits(cuts[middle]))
            good = middle;
        else
            bad = middle;
    }
    return text.left(cuts[good]) + ellipsis;
}

QString AudioEditorViewPlugController::nameText() const
{
    return m_nameTF->text();
}

QString AudioEditorViewPlugController::playTimeText() const
{
    return m_playTimeTF->text();
}

QString AudioEditorViewPlugController::chooseLengthText() const
{
    return m_chooseLengthTF->text();
}

QString AudioEditorViewPlugController::composerText() const
{
    return m_composerTF->text();
}

QString AudioEditorViewPlugController::albumText() const
{
    return m_albumTF->text();
}
