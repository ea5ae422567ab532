// VyAudioEditorViewController: the player and view side of playback, the typed times,
// the keys and the fade controls.

#include "ui/editor/vyaudioeditorviewcontroller.h"

#include "core/environment/editingstate.h"
#include "core/notification/notificationcenter.h"
#include "ui/editor/audioeditorviewplugcontroller.h"
#include "ui/player/roingtoneplaybackcontroller.h"
#include "ui/player/videosurface.h"
#include "ui/waveform/dragview.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>

int VyAudioEditorViewController::playerState() const
{
    return _playerController ? _playerController->playerState() : PreviewSession::kNoPlayer;
}

void VyAudioEditorViewController::play()
{
    if (_playerController)
        _playerController->play();
}

void VyAudioEditorViewController::pause()
{
    if (_playerController)
        _playerController->pause();
}

void VyAudioEditorViewController::stop()
{
    if (_playerController)
        _playerController->stop();
}

void VyAudioEditorViewController::seekPlayer(double seconds)
{
    if (_playerController)
        _playerController->seekPlayer(seconds);
}

void VyAudioEditorViewController::setPlayEnd(double start, double end, double afterSilence)
{
    if (_playerController)
        _playerController->setPlayEnd(start, end, afterSilence);
}

void VyAudioEditorViewController::setVolume(int percent)
{
    if (_playerController)
        _playerController->setVolume(percent);
}

void VyAudioEditorViewController::setFadeEnable(const QVariantMap& fades)
{
    if (_playerController)
        _playerController->setFadeEnable(fades);
}

double VyAudioEditorViewController::getPlayedTime() const
{
    return _playerController ? _playerController->getPlayedTime() : 0.0;
}

int VyAudioEditorViewController::underrunCount() const
{
    return _playerController ? _playerController->underruns() : 0;
}

bool VyAudioEditorViewController::hasVideo() const
{
    return playerHasVideo();
}

PartFrame VyAudioEditorViewController::part() const
{
    return m_waveformView->part();
}

double VyAudioEditorViewController::moveDx() const
{
    return gloableState()._moveDx.load();
}

double VyAudioEditorViewController::movieLen() const
{
    return gloableState().movieLen.load();
}

PreviewSession::FadeChoice VyAudioEditorViewController::fadeChoice() const
{
    return {m_fadeInBtn->isChecked(), static_cast<double>(PartEditing::fadeSeconds(m_fadeInPoPupBtn->currentText())),
            m_fadeOutBtn->isChecked(), static_cast<double>(PartEditing::fadeSeconds(m_fadeOutPoPupBtn->currentText()))};
}

void VyAudioEditorViewController::setTimeLineXPos(double x)
{
    m_waveformView->setTimeLineXPos(x);
}

void VyAudioEditorViewController::setIsPreview(bool preview)
{
    m_waveformView->setIsPreview(preview);
}

void VyAudioEditorViewController::showVideo()
{
    if (_playerController && _playerController->getPlayViewHandle() != nullptr)
        _playerController->getPlayViewHandle()->show();
}

void VyAudioEditorViewController::setPlayButtonImage(const QString& image)
{
    m_playBtn->setProperty("image", image);
    m_playBtn->setIcon(QIcon(QStringLiteral(":/") + image));
    m_playBtn->setToolTip(image == PreviewSession::playButtonImage(PreviewSession::kPlaying) ? tr("Pause") : tr("Play"));
}

void VyAudioEditorViewController::setPreviewButtonImage(const QString& image)
{
    m_previewBtn->setProperty("image", image);
    m_previewBtn->setIcon(QIcon(QStringLiteral(":/") + image));
}

void VyAudioEditorViewController::setPlayTime(const QString& text)
{
    m_viewPlugCtlr->setPlayTime(text);
}

void VyAudioEditorViewController::redrawWaveform()
{
    m_waveformView->update();
}

QRectF VyAudioEditorViewController::visibleRect() const
{
    const QScrollArea* area = m_waveformView->waveformScrollView();
    return QRectF(area->horizontalScrollBar()->value(), 0, area->viewport()->width(), area->viewport()->height());
}

void VyAudioEditorViewController::scrollTo(double x)
{
    m_waveformView->scrollToPosition(QPoint(static_cast<int>(x), 0));
}

void VyAudioEditorViewController::postStopPlay()
{
    NotificationCenter::defaultCenter().post(QStringLiteral("StopPlay"), this);
}

PartEditing VyAudioEditorViewController::editing() const
{
    return PartEditing(m_waveformView->rules(), movieLen());
}

void VyAudioEditorViewController::applyPart(const PartFrame& next)
{
    m_waveformView->setTimeTF(next);
    m_waveformView->update();
}

void VyAudioEditorViewController::endInputTrimStartTime()
{
    if (isLoading())
        return;
    const auto result = editing().typedStart(part(), m_startTimeTF->text());
    switch (result.action) {
    case PartEditing::StartResult::Action::Nothing:
        return;
    case PartEditing::StartResult::Action::RestoreFields:
        m_startTimeTF->setText(result.startText);
        m_endTimeTF->setText(result.endText);
        return;
    case PartEditing::StartResult::Action::ShowLengthAlert:
        showLengthAlert();
        return;
    case PartEditing::StartResult::Action::Apply:
        applyPart(result.part);
        return;
    }
}

void VyAudioEditorViewController::endInputTrimEndTime()
{
    if (isLoading())
        return;
    const auto result = editing().typedEnd(part(), m_endTimeTF->text());
    if (result.beep)
        QApplication::beep();
    switch (result.action) {
    case PartEditing::EndResult::Action::Nothing:
        return;
    case PartEditing::EndResult::Action::ShowLengthAlert:
        applyPart(result.part);
        m_endTimeTF->setText(result.endText);
        showLengthAlert();
        return;
    case PartEditing::EndResult::Action::Apply:
        applyPart(result.part);
        return;
    }
}

void VyAudioEditorViewController::showLengthAlert()
{
    if (m_lengthAlert != nullptr)
        return;
    m_lengthAlert = new QMessageBox(QMessageBox::Critical, QStringLiteral("Error!"), editing().lengthAlertText(),
                                    QMessageBox::NoButton, this);
    m_lengthAlert->addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    m_lengthAlert->setWindowModality(Qt::WindowModal);
    m_lengthAlert->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_lengthAlert, &QMessageBox::finished, this, [this] {
        m_lengthAlert = nullptr;
        if (isLoading())
            return;
        const auto fixed = editing().afterLengthAlert(part());
        applyPart(fixed.part);
        m_startTimeTF->setText(fixed.startText);
        m_endTimeTF->setText(fixed.endText);
    });
    m_lengthAlert->open();
}

void VyAudioEditorViewController::clickFadeBtn(QCheckBox* box, QComboBox* pop)
{
    pop->setEnabled(box->isChecked());
    if (!box->isChecked())
        pop->setCurrentIndex(0);
}

void VyAudioEditorViewController::keyPressEvent(QKeyEvent* event)
{
    if (isLoading()) {
        event->accept(); // nothing to edit while a file loads
        return;
    }
    const bool option = event->modifiers().testFlag(Qt::AltModifier);
    PartEditing::Key key {};
    switch (event->key()) {
    case Qt::Key_Space:
        m_session.spaceKey();
        return;
    case Qt::Key_Left: key = PartEditing::Key::Left; break;
    case Qt::Key_Right: key = PartEditing::Key::Right; break;
    case Qt::Key_Up: key = PartEditing::Key::Up; break;
    case Qt::Key_Down: key = PartEditing::Key::Down; break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    const auto result = editing().arrowKey(part(), key, option, m_keyMoveDist);
    if (result.changed)
        applyPart(result.part);
}
