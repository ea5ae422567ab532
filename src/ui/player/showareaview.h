#pragma once
// The caption strip along the top of the player pane: a dark band with "Selected Item"
// centred on it.
//
// Main thread only.

#include "ui/artwork/artwork.h"

#include <QImage>
#include <QString>
#include <QWidget>

class ShowAreaView : public QWidget {
    Q_OBJECT

public:
    explicit ShowAreaView(QWidget* parent = nullptr);

    [[nodiscard]] QString caption() const { return m_caption; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ArtworkImage m_background;
    QString m_caption;
};
