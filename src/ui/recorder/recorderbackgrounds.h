#pragma once
// The recorder sheet's backgrounds, each a picture stretched over its bounds:
// RecorderBgView behind the whole sheet (RecordBG.png) and Ozk_RecorderBackView behind
// its lower band of buttons (RecorderDownBack.png). The sheet places its children on them.
//
// Main thread only.

#include <QPixmap>
#include <QString>
#include <QWidget>

class RecorderPictureView : public QWidget {
    Q_OBJECT

public:
    [[nodiscard]] QSize sizeHint() const override;

protected:
    RecorderPictureView(QString resource, QWidget* parent);

    void paintEvent(QPaintEvent* event) override;

private:
    // Loads the picture for the screen's pixel ratio when it differs from the last one.
    void loadArtwork();

    QString m_resource;
    QPixmap m_picture;
    qreal m_artworkRatio = 0.0;
};

class RecorderBgView : public RecorderPictureView {
    Q_OBJECT

public:
    explicit RecorderBgView(QWidget* parent = nullptr);
};

class Ozk_RecorderBackView : public RecorderPictureView {
    Q_OBJECT

public:
    explicit Ozk_RecorderBackView(QWidget* parent = nullptr);
};
