#pragma once
// The editor's info panel: the loaded file's display name, composer and album, the elapsed
// time over the total length, and the length of the chosen part, over its background
// picture (AudioEditorViewPlug).
//
// Text styles: captions 8 points; play time, composer and album 10 points; name and selected
// length 15 points; all in Geneva where it is installed, else the system's general font.
// The name, composer and album are shortened with " ..." to fit their fields; the full texts
// are kept, so a resize fits them again.
//
// The selected length follows "ResizeChooseTimeLen" from any sender (user info
// "ChooseTimeLen", e.g. "25s").
//
// Main thread only.

#include <QFont>
#include <QString>
#include <QWidget>

class AudioEditorViewPlug;
class QColor;
class QLabel;

class AudioEditorViewPlugController : public QWidget {
    Q_OBJECT

public:
    static constexpr int kCaptionPointSize = 8;
    static constexpr int kDetailPointSize = 10;
    static constexpr int kTitlePointSize = 15;

    explicit AudioEditorViewPlugController(QWidget* parent = nullptr);

    // No name, composer or album; "00:00:00 / 00:00:00" and "40s".
    void clearDisplay();
    // Shows `displayName` and the composer (the ©ART item) and album of an MPEG-4 /
    // QuickTime file at `path`. False when the file has neither, so the caller can try
    // other tags; the name is shown either way.
    bool setFileName(const QString& path, const QString& displayName);
    void setPlayTime(const QString& text);
    void setChooseLength(const QString& text);
    void setComposer(const QString& composer);
    void setAlbum(const QString& album);

    // `text` unchanged when its advance in `font` is at most `width`; else its longest
    // prefix (whole characters) that still fits together with " ...", followed by " ...".
    // Empty when not even " ..." fits.
    [[nodiscard]] static QString changeStringToFitTextField(const QString& text, const QFont& font, int width);
    // Geneva when installed, else the system's general font family; chosen once.
    [[nodiscard]] static QString fontFamily();

    [[nodiscard]] QString nameText() const;
    [[nodiscard]] QString playTimeText() const;
    [[nodiscard]] QString chooseLengthText() const;
    [[nodiscard]] QString composerText() const;
    [[nodiscard]] QString albumText() const;
    [[nodiscard]] AudioEditorViewPlug* viewPlug() const { return m_viewPlug; }

    [[nodiscard]] QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QLabel* makeField(const QString& name, int pointSize, const QColor& color);
    void layoutFields();
    // Shows `full` in `field`, shortened to the field's width.
    static void showFitted(QLabel* field, const QString& full);

    AudioEditorViewPlug* m_viewPlug = nullptr;
    QLabel* m_nameTF = nullptr;
    QLabel* m_playTimeTF = nullptr;
    QLabel* m_chooseLengthTF = nullptr;
    QLabel* m_composerTF = nullptr;
    QLabel* m_albumTF = nullptr;
    QLabel* m_currentTimeDownTF = nullptr;
    QLabel* m_songLengthDownTF = nullptr;
    QLabel* m_chooseLengthDownTF = nullptr;
    // Before shortening.
    QString m_fileName;
    QString m_composer;
    QString m_album;
};
