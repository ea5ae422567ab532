#include "ui/editor/playbackviewcontroller.h"

#include "core/metadata/getfilepicture.h"
#include "ui/player/playbackview.h"

PlayBackViewController::PlayBackViewController(PlayBackView* view, QObject* parent)
    : QObject(parent)
    , m_view(view)
{
}

void PlayBackViewController::setImageToContentView(const QString& path, bool shouldCompose)
{
    if (m_view == nullptr)
        return;
    GetFilePicture picture;
    m_view->setImage(picture.getFilePicture(path), shouldCompose);
    m_view->update();
}
