// VyAudioEditorViewController: the player and view side of playback, the typed times,
// the keys and the fade controls.

#include "core/environment/editingstate.h"
#include "core/notification/notificationcenter.h"
#include "core/text/timeformatters.h"
#include "ui/editor/audioeditorviewplugcontroller.h"
#include "ui/editor/vyaudioeditorviewcontroller.h"
#include "ui/player/playernotes.h"
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
#include <QSignalBlocker>
#include <QValidator>

namespace {

// Holds a field to the formatter's rules edit by edit. The field's input mask shows the
// empty places of a time as blanks: they are empty pieces to the rules.
class TimeValidator : public QValidator {
public:
    explicit TimeValidator(TimeField* field)
        : QValidator(field)
        , m_field(field)
    {
    }

    State validate(QString& input, int&) const override
    {
        QString text = input;
        text.remove(u' ');
        if (VyMediaTimeFormatter::isPartialStringValid(text))
            return Acceptable;
        Q_EMIT m_field->refused();
        return Invalid;
    }

private:
    TimeField* m_field;
};

} // namespace

TimeField::TimeField(const QString& name, QWidget* parent)
    : QLineEdit(parent)
{
    setObjectName(name);
    setInputMask(QStringLiteral("00:00:00"));
    setValidator(new TimeValidator(this));
    setFixedWidth(80);
}

void TimeField::keyPressEvent(QKeyEvent* event)
{
    // The mask turns away letters and blanks by itself, silently: the rules say a refused
    // edit beeps.
    const QString typed = event->text();
    if (typed.size() == 1 && typed.at(0).isPrint() && !typed.at(0).isDigit() && typed.at(0) != u':') {
        Q_EMIT refused();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

PlayerState VyAudioEditorViewController::playerState() const
{
    return _playerController ? _playerController->playerState() : PlayerState::None;
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
    return { m_fadeInBtn->isChecked(), static_cast<double>(PartEditing::fadeSeconds(m_fadeInPoPupBtn->currentText())),
        m_fadeOutBtn->isChecked(), static_cast<double>(PartEditing::fadeSeconds(m_fadeOutPoPupBtn->currentText())) };
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
    m_playBtn->setToolTip(
        image == PreviewSession::playButtonImage(PlayButtonState::Playing) ? tr("Pause") : tr("Play"));
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
    NotificationCenter::defaultCenter().post(PlayerNote::StopPlay, this);
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

void VyAudioEditorViewController::applyTypedPart(const PartFrame& next, Edge edge)
{
    applyPart(next);
    m_waveformView->showPart(next, edge == Edge::End);
}

QString VyAudioEditorViewController::committedTime(QLineEdit* field)
{
    return VyMediaTimeFormatter::normalizedString(field->text());
}

void VyAudioEditorViewController::giveKeysBack(QLineEdit* field)
{
    // Arrows and Space edit the part again. The field's own end of editing has been dealt with.
    const QSignalBlocker quiet(field);
    setFocus(Qt::OtherFocusReason);
}

void VyAudioEditorViewController::endInputTrimStartTime()
{
    const bool typing = m_startTimeTF->hasFocus();
    const PartFrame current = part();
    const auto result = editing().typedStart(current, committedTime(m_startTimeTF));
    switch (result.action) {
    case PartEditing::StartResult::Action::Nothing:
    case PartEditing::StartResult::Action::RestoreFields: m_waveformView->writeTimeFields(current); break;
    case PartEditing::StartResult::Action::ShowLengthAlert: showLengthAlert(result.afterAlert, Edge::Start); break;
    case PartEditing::StartResult::Action::Apply: applyTypedPart(result.part, Edge::Start); break;
    }
    if (typing)
        giveKeysBack(m_startTimeTF);
}

void VyAudioEditorViewController::endInputTrimEndTime()
{
    const bool typing = m_endTimeTF->hasFocus();
    const PartFrame current = part();
    const auto result = editing().typedEnd(current, committedTime(m_endTimeTF));
    if (result.beep)
        QApplication::beep();
    switch (result.action) {
    case PartEditing::EndResult::Action::Nothing: m_waveformView->writeTimeFields(current); break;
    case PartEditing::EndResult::Action::ShowLengthAlert:
        applyPart(result.part);
        m_endTimeTF->setText(result.endText);
        showLengthAlert(result.afterAlert, Edge::End);
        break;
    case PartEditing::EndResult::Action::Apply: applyTypedPart(result.part, Edge::End); break;
    }
    if (typing)
        giveKeysBack(m_endTimeTF);
}

void VyAudioEditorViewController::showLengthAlert(const PartFrame& after, Edge edge)
{
    if (m_lengthAlert != nullptr)
        return;
    m_lengthAlert = new QMessageBox(
        QMessageBox::Critical, QStringLiteral("Error!"), editing().lengthAlertText(), QMessageBox::NoButton, this);
    m_lengthAlert->addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    m_lengthAlert->setWindowModality(Qt::WindowModal);
    m_lengthAlert->setAttribute(Qt::WA_DeleteOnClose);
    const int job = m_currentJob.load();
    connect(m_lengthAlert, &QMessageBox::finished, this, [this, after, edge, job] {
        m_lengthAlert = nullptr;
        if (isLoading() || job != m_currentJob.load())
            return; // another file came meanwhile
        applyTypedPart(after, edge);
    });
    m_lengthAlert->open();
}

void VyAudioEditorViewController::clickFadeBtn(QCheckBox* box, QComboBox* pop)
{
    if (isLoading()) {
        box->setChecked(!box->isChecked()); // the click changes nothing while a file loads
        return;
    }
    pop->setEnabled(box->isChecked());
    if (!box->isChecked())
        pop->setCurrentIndex(0);
}

void VyAudioEditorViewController::keyPressEvent(QKeyEvent* event)
{
    if (!editPartWithKey(event))
        QWidget::keyPressEvent(event);
}

bool VyAudioEditorViewController::editPartWithKey(QKeyEvent* event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    // Shortcuts with Ctrl or Meta (and Tab) are the window's, never the part's.
    if (modifiers.testAnyFlags(Qt::ControlModifier | Qt::MetaModifier))
        return false;
    PartEditing::Key key {};
    switch (event->key()) {
    case Qt::Key_Space: break;
    case Qt::Key_Left: key = PartEditing::Key::Left; break;
    case Qt::Key_Right: key = PartEditing::Key::Right; break;
    case Qt::Key_Up: key = PartEditing::Key::Up; break;
    case Qt::Key_Down: key = PartEditing::Key::Down; break;
    default: return false;
    }
    event->accept();
    if (isLoading())
        return true; // nothing to edit while a file loads
    if (event->key() == Qt::Key_Space) {
        m_session.spaceKey();
        return true;
    }
    // Shift steps a tenth of the key step, for fine placing without the mouse.
    const float step = modifiers.testFlag(Qt::ShiftModifier) ? m_keyMoveDist * kFineKeyStepFactor : m_keyMoveDist;
    const auto result = editing().arrowKey(part(), key, modifiers.testFlag(Qt::AltModifier), step);
    if (result.changed)
        applyPart(result.part);
    return true;
}
