// The program's look on a Linux desktop: the font families our views name resolve to the
// installed families mapped for them and fit the labels laid out for them, and every
// picture has a sharp "@2x" twin for dense screens.
#include "ui/editor/audioeditorviewplugcontroller.h"
#include "ui/fonts/fontsubstitutions.h"
#include "ui/library/vylistmenu.h"
#include "ui/waveform/waveformgeometry.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QFontMetrics>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QScrollArea>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

using namespace Qt::StringLiterals;

namespace {

// --- fonts ------------------------------------------------------------------------------

struct LabelCase {
    const char* what;
    std::function<QFont()> font;
    QString text;
    std::function<QSize()> room; // the label's width and height
};

QSize infoPanelField(const char* name)
{
    AudioEditorViewPlugController panel;
    panel.resize(panel.sizeHint()); // the panel's design size
    const auto* label = panel.findChild<QLabel*>(QString::fromLatin1(name));
    return label ? label->size() : QSize();
}

QFont infoPanelFont(const char* name)
{
    AudioEditorViewPlugController panel;
    const auto* label = panel.findChild<QLabel*>(QString::fromLatin1(name));
    return label ? label->font() : QFont();
}

QFont family(const char* name, int pixels, bool bold = false)
{
    QFont font(QString::fromLatin1(name));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

void PrintTo(const LabelCase& label, std::ostream* out)
{
    *out << label.what;
}

class FontLabels : public ::testing::TestWithParam<LabelCase> {
protected:
    static void SetUpTestSuite() { installFontSubstitutions(); }
};

TEST_P(FontLabels, ResolveToTheMappedFamilyAndFitTheirLabel)
{
    const LabelCase& label = GetParam();
    const QFont font = label.font();
    const QString asked = font.families().value(0, font.family());
    const QStringList mapped = fontSubstitutesFor(asked);
    ASSERT_FALSE(mapped.isEmpty()) << asked.toStdString() << ": no mapped family is installed";
    // Qt names a family found from more than one foundry with the foundry: "Nimbus Sans [urw]".
    const QString resolved = QFontInfo(font).family().section(u" ["_s, 0, 0);
    EXPECT_EQ(resolved, mapped.first()) << label.what;

    const QSize room = label.room();
    const QFontMetrics metrics(font);
    EXPECT_LE(metrics.horizontalAdvance(label.text), room.width()) << label.what;
    EXPECT_LE(metrics.height(), room.height()) << label.what;
}

const LabelCase kLabels[] = {
    { "info panel name", [] { return infoPanelFont("nameTF"); }, u"song5"_s, [] { return infoPanelField("nameTF"); } },
    { "info panel artist", [] { return infoPanelFont("m_ComposerTF"); }, u"Fixture Artist"_s,
        [] { return infoPanelField("m_ComposerTF"); } },
    // Above the ruler's ticks, within a second at the farthest zoom that still marks
    // seconds (a quarter point per waveform point, 200 points a second).
    { "ruler label", [] { return family("Geneva", 8); }, u"00:00:30"_s,
        [] { return QSize(50, WaveformArt::kRulerHeight - 7); } },
    { "list file row", &VyListMenu::titleFont, u"song5.mp3"_s, [] { return QSize(225 - 30, 22); } },
    { "list entry", &VyListMenu::menuFont, u"Recorder File"_s, [] { return QSize(225 - 12 - 20, 22); } },
    // Under its picture, clear of its neighbours' captions (centres 135 apart).
    { "drop view caption", [] { return family("Helvetica", 18, true); }, u"Recorder"_s, [] { return QSize(135, 28); } },
};
INSTANTIATE_TEST_SUITE_P(Look, FontLabels, ::testing::ValuesIn(kLabels),
    [](const auto& info) { return QString::fromLatin1(info.param.what).replace(u' ', u'_').toStdString(); });

// --- pictures ---------------------------------------------------------------------------

QString twinOf(const QString& name)
{
    return QString(name).insert(name.lastIndexOf(u'.'), u"@2x"_s);
}

TEST(Artwork, EveryPictureHasATwinOfTwiceItsSize)
{
    const QDir resources(QStringLiteral(SONABEL_SOURCE_DIR "/resources"));
    const QStringList pictures = resources.entryList({ u"*.png"_s }, QDir::Files);
    ASSERT_GT(pictures.size(), 40);
    for (const QString& name : pictures) {
        if (name.contains(u"@2x"_s))
            continue;
        const QImage plain(resources.filePath(name));
        const QImage twin(resources.filePath(twinOf(name)));
        ASSERT_FALSE(twin.isNull()) << name.toStdString() << " has no @2x twin";
        EXPECT_EQ(twin.size(), plain.size() * 2) << name.toStdString();
        // A picture built into the program brings its twin along.
        if (QFile::exists(u":/"_s + name)) {
            EXPECT_TRUE(QFile::exists(u":/"_s + twinOf(name))) << name.toStdString();
        }
    }
}

// How many pixels the step from the button's face up to its glyph takes down a column,
// counting those between a tenth and nine tenths of the way: one for an edge drawn at the
// pixel, more for one enlarged from fewer pixels.
int edgeSpan(const QImage& picture, int column, int fromY, int toY)
{
    const auto grey = [&](int y) { return qGray(picture.pixel(column, y)); };
    const int low = grey(fromY);
    int high = low;
    for (int y = fromY; y <= toY; ++y)
        high = std::max(high, grey(y));
    int span = 0;
    for (int y = fromY; y <= toY && grey(y) < high; ++y)
        span += grey(y) > low + (high - low) / 10 && grey(y) < high - (high - low) / 10;
    return span;
}

// Run with QT_SCALE_FACTOR=2 (CTest's look.dense_screen): the editor's play button as the
// editor loads it, an icon of its picture.
TEST(DenseScreen, ButtonGlyphEdgesAreDrawnAtTheDensePixel)
{
    if (qApp->devicePixelRatio() < 2.0)
        GTEST_SKIP() << "needs QT_SCALE_FACTOR=2";
    const QImage drawn = QIcon(u":/PlayN.png"_s).pixmap(QSize(32, 32)).toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(drawn.size(), QSize(64, 64)) << "the button is not drawn from its twin";

    // The play triangle's upper edge, down the button's middle column.
    const int column = 32;
    EXPECT_LE(edgeSpan(drawn, column, 8, 36), 2);
    // The same measure tells an enlarged picture: the plain picture scaled up smears the edge.
    const QImage enlarged = QImage(u":/PlayN.png"_s)
                                .scaled(64, 64, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                                .convertToFormat(QImage::Format_RGB32);
    EXPECT_GT(edgeSpan(enlarged, column, 8, 36), 2);
}

} // namespace
