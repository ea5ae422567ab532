#pragma once
// The picture backgrounds of the editor's lower part: AudioEditorViewPlug behind the info
// panel (AudioEditorPlug.png) and PartBackGroundView behind the whole lower part
// (DownPartBgPic.png). Each draws its picture stretched over its bounds.
//
// A click on either hands the keyboard back to the window, so that the editor's keys work
// again after typing in a field.
//
// Main thread only.

#include "ui/artwork/artwork.h"

#include <QImage>
#include <QWidget>

class PictureBackgroundView : public QWidget {
    Q_OBJECT

public:
    [[nodiscard]] const ArtworkImage& picture() const { return m_picture; }
    [[nodiscard]] QSize sizeHint() const override { return m_picture.size(); }

protected:
    PictureBackgroundView(const QString& resource, QWidget* parent);

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    ArtworkImage m_picture;
};

class AudioEditorViewPlug : public PictureBackgroundView {
    Q_OBJECT

public:
    explicit AudioEditorViewPlug(QWidget* parent = nullptr);
};

class PartBackGroundView : public PictureBackgroundView {
    Q_OBJECT

public:
    explicit PartBackGroundView(QWidget* parent = nullptr);
};
