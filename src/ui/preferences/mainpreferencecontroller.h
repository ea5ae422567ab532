#pragma once
// The preferences window: the three remembered choices (launch sound, automatic update
// check, the 40-second warning) written to the product configuration, and the choices
// that last for the run (output format, key step, rings gap), broadcast as
// notifications for the editor to keep; and the library files the library list reads.
//
// Main thread only.

#include <QDialog>

class QCheckBox;
class QComboBox;
class LibraryFilesBox;
struct PreferenceChoice;

class MainPreferenceController : public QDialog {
    Q_OBJECT

public:
    explicit MainPreferenceController(QWidget* parent = nullptr);

    // Ticks the three check boxes from the configuration: on exactly when "YES".
    void checkForInitState();

    void clickPlaySoundStartBtn();
    void clickAutoUpdateBtn();
    void clickShowWarnning();
    // Keep source setting on: the defaults shown, the format pop-ups disabled and
    // "SetAudioParm" posted without user info (convert in the source's own format).
    // Off: the pop-ups enabled and their values posted.
    void clickKeepBtn();
    void changeChoose();
    void postNotification();
    void clickKeyMoveDistPop();
    void clickRingsGapPop();
    void setAudioPopBtnState(bool enabled);

    [[nodiscard]] QCheckBox* autoUpateChk() const { return m_autoUpateChk; }
    [[nodiscard]] QCheckBox* playSoundStartChk() const { return m_playSoundStartChk; }
    [[nodiscard]] QCheckBox* showWarnningBtn() const { return m_showWarnningBtn; }
    [[nodiscard]] QCheckBox* keepSourceSettingChk() const { return m_keepSourceSettingChk; }
    [[nodiscard]] QComboBox* sampleRatePop() const { return m_sampleRatePop; }
    [[nodiscard]] QComboBox* channelPop() const { return m_channelPop; }
    [[nodiscard]] QComboBox* bitRatePop() const { return m_bitRatePop; }
    [[nodiscard]] QComboBox* keyMoveDistPop() const { return m_keyMoveDistPop; }
    [[nodiscard]] QComboBox* ringsGapPop() const { return m_ringsGapPop; }
    [[nodiscard]] LibraryFilesBox* libraryFiles() const { return m_libraryFiles; }

private:
    void buildLayout();
    void connectControls();

    QCheckBox* m_autoUpateChk = nullptr;
    QCheckBox* m_playSoundStartChk = nullptr;
    QCheckBox* m_showWarnningBtn = nullptr;
    QCheckBox* m_keepSourceSettingChk = nullptr;
    QComboBox* m_sampleRatePop = nullptr;
    QComboBox* m_channelPop = nullptr;
    QComboBox* m_bitRatePop = nullptr;
    QComboBox* m_keyMoveDistPop = nullptr;
    QComboBox* m_ringsGapPop = nullptr;
    LibraryFilesBox* m_libraryFiles = nullptr;
};
