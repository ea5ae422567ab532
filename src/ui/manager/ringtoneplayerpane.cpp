#include "ui/manager/ringtoneplayerpane.h"

#include "audio/soundplayer.h"
#include "core/environment/logging.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kTimeRefreshMs = 50;

QLabel* timeLabel(QWidget* parent, const char* name)
{
    auto* label = new QLabel(QStringLiteral("0s"), parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setMinimumWidth(36);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

} // namespace

RingtonePlayerPane::RingtonePlayerPane(QWidget* parent)
    : RingtonePlayeView(parent)
    , m_playImage(QStringLiteral(":/MgrPlay.png"))
    , m_pauseImage(QStringLiteral(":/MgrPause.png"))
{
    setObjectName(QStringLiteral("playArea"));
    m_playBtn = new QPushButton(m_playImage, QString(), this);
    m_playBtn->setObjectName(QStringLiteral("playBtn"));
    m_playBtn->setToolTip(QStringLiteral("Play or pause the ringtone"));
    m_playBtn->setAccessibleName(m_playBtn->toolTip());
    m_playBtn->setCheckable(true);
    m_playBtn->setFlat(true);
    m_playBtn->setIconSize({ 32, 32 });
    m_playBtn->setEnabled(false);
    m_ringtoneName = new QLabel(QStringLiteral("Name"), this);
    m_ringtoneName->setObjectName(QStringLiteral("ringtoneName"));
    m_ringtonePassTimeTF = timeLabel(this, "ringtonePassTimeTF");
    m_ringtoneLeftTF = timeLabel(this, "ringtoneLeftTF");
    m_playProcessView = new VyRingtonePlayProcessView(this);
    m_playProcessView->setObjectName(QStringLiteral("playProcessView"));
    m_playProcessView->setDelegate(this);

    auto* seekRow = new QHBoxLayout;
    seekRow->addWidget(m_ringtonePassTimeTF);
    seekRow->addWidget(m_playProcessView, 1);
    seekRow->addWidget(m_ringtoneLeftTF);
    auto* player = new QVBoxLayout;
    player->addWidget(m_ringtoneName, 0, Qt::AlignHCenter);
    player->addLayout(seekRow);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(14, 6, 14, 6);
    row->addWidget(m_playBtn);
    row->addLayout(player, 1);

    m_timeTimer.setInterval(kTimeRefreshMs);
    connect(&m_timeTimer, &QTimer::timeout, this, &RingtonePlayerPane::refreshTimeDisplay);
    connect(m_playBtn, &QPushButton::clicked, this, &RingtonePlayerPane::clickPlayRingtone);
}

RingtonePlayerPane::~RingtonePlayerPane() = default;

void RingtonePlayerPane::setRingtone(const std::optional<RingtoneInfo>& ringtone, bool onPhone)
{
    if (!ringtone) {
        m_ringtone.reset();
        if (m_m4rSound)
            m_m4rSound->stop();
        m_m4rSound.reset();
        m_timeTimer.stop();
        setPlayButton(false);
        m_playBtn->setEnabled(false);
        m_ringtoneName->setText(QStringLiteral("Name"));
        m_ringtonePlayedTime = 0.0;
        m_ringtoneTimeLen = 0.0;
        m_playProcessView->setRate(0.0F);
        m_ringtonePassTimeTF->setText(QStringLiteral("0s"));
        m_ringtoneLeftTF->setText(QStringLiteral("0s"));
        return;
    }
    // The same ringtone again keeps playing; one whose sound was let go is prepared anew.
    if (m_ringtone && m_ringtone->filePath == ringtone->filePath && m_m4rSound)
        return;
    m_ringtone = ringtone;
    m_onPhone = onPhone;
    m_playBtn->setEnabled(true);
    if (m_m4rSound)
        m_m4rSound->stop();
    m_m4rSound.reset();
    m_timeTimer.stop();
    if (!initPlayer())
        qCWarning(lcApp).noquote() << "Cannot play" << ringtone->filePath;
    setPlayButton(false);
}

bool RingtonePlayerPane::initPlayer()
{
    m_ringtoneName->setText(m_ringtone->ringtoneName);
    m_ringtoneLeftTF->setText(m_ringtone->ringtoneLength);
    m_ringtonePassTimeTF->setText(QStringLiteral("0s"));
    m_ringtoneTimeLen = m_ringtone->seconds();
    m_ringtonePlayedTime = 0.0;
    m_playProcessView->setRate(0.0F);
    m_m4rSound = std::make_unique<SoundPlayer>();
    if (!m_m4rSound->open(
            m_ringtone->filePath, m_onPhone ? SoundPlayer::Source::ByCopy : SoundPlayer::Source::ByReference)) {
        m_m4rSound.reset();
        return false;
    }
    if (m_ringtoneTimeLen <= 0.001)
        m_ringtoneTimeLen = m_m4rSound->duration();
    return true;
}

void RingtonePlayerPane::setPlayButton(bool on)
{
    m_playBtn->setChecked(on);
    m_playBtn->setIcon(on ? m_pauseImage : m_playImage);
}

void RingtonePlayerPane::playRingtone()
{
    if (!m_m4rSound) {
        qCInfo(lcApp) << "There is no ringtone to play";
        return;
    }
    m_shouldRefreshTimeDisp = true;
    if (!m_m4rSound->isPlaying())
        m_m4rSound->play();
    setPlayButton(true);
    m_timeTimer.start();
}

void RingtonePlayerPane::pauseRingtone()
{
    if (m_m4rSound)
        m_m4rSound->pause();
    m_shouldRefreshTimeDisp = false;
}

void RingtonePlayerPane::stopRingtone()
{
    if (m_m4rSound)
        m_m4rSound->stop();
    if (m_ringtone && m_onPhone) {
        m_m4rSound.reset();
        m_playBtn->setEnabled(false);
    }
    m_playProcessView->setRate(0.0F);
    m_shouldRefreshTimeDisp = false;
    m_timeTimer.stop();
    setPlayButton(false);
}

void RingtonePlayerPane::stopForClose()
{
    if (m_m4rSound)
        m_m4rSound->stop();
    m_timeTimer.stop();
    setPlayButton(false);
}

void RingtonePlayerPane::clickPlayRingtone()
{
    if (m_playBtn->isChecked() && m_ringtone) {
        playRingtone();
        return;
    }
    setPlayButton(false);
    pauseRingtone();
}

void RingtonePlayerPane::refreshTimeDisplay()
{
    if (!m_shouldRefreshTimeDisp || !m_m4rSound) {
        m_timeTimer.stop();
        return;
    }
    m_ringtonePlayedTime = m_m4rSound->currentTime();
    if (m_ringtoneTimeLen > 0.001)
        m_playProcessView->setRate(static_cast<float>(m_ringtonePlayedTime / m_ringtoneTimeLen));
    m_ringtonePassTimeTF->setText(RingtoneInfo::lengthText(m_ringtonePlayedTime));
    m_ringtoneLeftTF->setText(RingtoneInfo::lengthText(std::max(0.0, m_ringtoneTimeLen - m_ringtonePlayedTime)));
    if (!m_m4rSound->isPlaying()) {
        m_shouldRefreshTimeDisp = false;
        m_timeTimer.stop();
        setPlayButton(false);
    }
}

void RingtonePlayerPane::setPlayTimePos(double rate)
{
    if (!m_m4rSound)
        return;
    m_m4rSound->setCurrentTime(m_ringtoneTimeLen * rate);
    if (!m_m4rSound->isPlaying())
        playRingtone();
}
