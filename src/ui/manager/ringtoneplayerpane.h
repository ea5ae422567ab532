#pragma once
// The manager's player: the current ringtone's name, the play/pause button, the seek bar and
// the played and remaining seconds, on the play area's panel. A phone ringtone plays from a
// private copy and is let go when it stops, as the phone may leave at any time.
//
// Main thread.

#include "core/ringtones/ringtoneinfo.h"
#include "ui/manager/ringtoneplayeview.h"
#include "ui/manager/vyringtoneplayprocessview.h"

#include <QIcon>
#include <QTimer>

#include <memory>
#include <optional>

class QLabel;
class QPushButton;
class SoundPlayer;

class RingtonePlayerPane : public RingtonePlayeView, public RingtoneSeekDelegate {
    Q_OBJECT

public:
    explicit RingtonePlayerPane(QWidget* parent = nullptr);
    ~RingtonePlayerPane() override;

    // Makes `ringtone` current (nothing: none). A new path drops the old sound and prepares
    // the new one, with the button on play.
    void setRingtone(const std::optional<RingtoneInfo>& ringtone, bool onPhone);
    [[nodiscard]] const std::optional<RingtoneInfo>& ringtone() const { return m_ringtone; }

    void playRingtone();
    void pauseRingtone();
    // Stops; a phone ringtone's sound is dropped and the button disabled.
    void stopRingtone();
    // The window closes: the sound stops, the button shows play.
    void stopForClose();
    // The button's action.
    void clickPlayRingtone();

    [[nodiscard]] SoundPlayer* sound() const { return m_m4rSound.get(); }
    [[nodiscard]] QPushButton* playButton() const { return m_playBtn; }

    // RingtoneSeekDelegate
    [[nodiscard]] bool isPlayerIninted() const override { return m_m4rSound != nullptr; }
    void setPlayTimePos(double rate) override;

private:
    bool initPlayer();
    void refreshTimeDisplay();
    void setPlayButton(bool on);

    QLabel* m_ringtoneName = nullptr;
    QLabel* m_ringtonePassTimeTF = nullptr;
    QLabel* m_ringtoneLeftTF = nullptr;
    QPushButton* m_playBtn = nullptr;
    VyRingtonePlayProcessView* m_playProcessView = nullptr;
    QIcon m_playImage, m_pauseImage;

    std::unique_ptr<SoundPlayer> m_m4rSound;
    std::optional<RingtoneInfo> m_ringtone;
    bool m_onPhone = false;
    bool m_shouldRefreshTimeDisp = true;
    double m_ringtonePlayedTime = 0.0;
    double m_ringtoneTimeLen = 0.0;
    QTimer m_timeTimer; // the read-out, every 0.05 s while playing
};
