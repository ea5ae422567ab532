#pragma once
// The big drop target that fills the editor's place while no file is loaded: a media
// file dragged onto it is handed to the main window's loading path, and its three
// buttons ("Open File", "Recorder", "Manager") ask for the open panel, the recorder and
// the ringtone manager through queued notifications.
//
// Main thread only.

#include "ui/artwork/artwork.h"

#include <QImage>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <array>

class QMimeData;

// The drag-and-drop half: which files are taken, the highlight while one hovers.
class VyDragViewRoot : public QWidget {
    Q_OBJECT

public:
    explicit VyDragViewRoot(QWidget* parent = nullptr);

    // The 21 endings a drop takes (the open panel's 20 and "FLV"), upper case.
    [[nodiscard]] static const QStringList& dropFileTypes();
    // The 20 endings the open panel offers.
    [[nodiscard]] static const QStringList& openPanelFileTypes();
    // The first file of a drag when its ending is one we take (any case), else empty.
    [[nodiscard]] static QString acceptedPath(const QMimeData* data);

    [[nodiscard]] bool isHighlighted() const { return m_isHighlighted; }
    [[nodiscard]] QString thePathToAdd() const { return m_thePathToAdd; }
    // Hides or shows the buttons with their captions; hidden buttons do not react.
    virtual void hideFunctionLayer(bool hide);
    [[nodiscard]] bool clickIsEnabled() const { return m_clickIsEnabled; }

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

    bool m_clickIsEnabled = true;

private:
    void setHighlighted(bool on);

    QStringList m_supportedDragFileTypes;
    QString m_thePathToAdd;
    ArtworkImage m_background;
    bool m_isHighlighted = false;
    bool m_acceptDrop = false;
};

class VyMediaDragView : public VyDragViewRoot {
    Q_OBJECT

public:
    // Indices of the buttons, as regionMouseEnter counts them.
    enum Region { Record = 0, Music = 1, Manager = 2, None = -1 };
    enum class Look { Plain, Down, Enter };

    static constexpr int kPictureSize = 84;
    static constexpr int kCaptionPointSize = 18;

    explicit VyMediaDragView(QWidget* parent = nullptr);

    void setDelegate(QObject* delegate) { m_delegate = delegate; }
    [[nodiscard]] QObject* delegate() const { return m_delegate; }

    // The picture rectangle of a button, in widget coordinates.
    [[nodiscard]] QRect pictureRect(Region region) const;
    [[nodiscard]] QString caption(Region region) const;
    [[nodiscard]] Look look(Region region) const { return m_looks.at(static_cast<size_t>(region)); }
    // The button pressed last (None before the first press).
    [[nodiscard]] Region regionMouseEnter() const { return m_regionMouseEnter; }
    // The name of the notification a button queues.
    [[nodiscard]] static QString notificationName(Region region);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    struct Button {
        QString caption;
        QString picture; // the plain picture's name; "Down" and "Enter" are added to it
        int centreOffset = 0; // from the view's middle
        std::array<ArtworkImage, 3> images;
    };

    [[nodiscard]] Region regionAt(const QPoint& point) const;
    [[nodiscard]] QRect captionRect(Region region) const;
    void setLook(Region region, Look look);
    void restoreLooks();

    std::array<Button, 3> m_buttons;
    std::array<Look, 3> m_looks { Look::Plain, Look::Plain, Look::Plain };
    Region m_regionMouseEnter = None;
    QObject* m_delegate = nullptr;
};
