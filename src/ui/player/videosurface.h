#pragma once
// Where a player's pictures are shown: a black area with the current picture fitted
// into it. Made by VPCreateView / VPCreateViewEx and found again with VPGetPlayerHwnd.
//
// Main thread only.

#include "audio/playerlib.h"

#include <QImage>
#include <QWidget>

class VideoSurface : public QWidget {
    Q_OBJECT

public:
    explicit VideoSurface(QWidget* parent = nullptr);

    // Blanks the surface.
    void fillBlack();
    void setPicture(const QImage& picture);
    [[nodiscard]] const QImage& picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_picture;
};

// {left, top, right, bottom} as the callers give a surface's place in its parent.
struct VPRect {
    int left;
    int top;
    int right;
    int bottom;
};

// A surface inside `parent` at `rect`, fed by `player`; returns its identifier.
uint32_t VPCreateView(Player player, QWidget* parent, const VPRect& rect, int reserved);
// The same; `parameters` ({width, height, ...}) give the picture size the caller
// expects, which the surface uses as its minimum size.
uint32_t VPCreateViewEx(Player player, QWidget* parent, const VPRect& rect, const int parameters[4], int reserved);
// The surface with that identifier, or null.
VideoSurface* VPGetPlayerHwnd(Player player, uint32_t viewId);
