#pragma once
// The recorder sheet over the main window: record/stop, preview (looping), save, the
// "open in the editor" box, the clock and the level meter. The microphone is open only
// while the sheet is shown. A take is previewed and saved only once it has been handed over
// complete; Save copies it into the music folder's "Recorder" folder and tells the library
// list and, with the box on, the editor.
//
// Made once per run and reused; main thread.

#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <QVariantMap>

#include <memory>
#include <random>

class BMPView;
class DigitShowView;
class MicPhoneRecorder;
class QCheckBox;
class QPushButton;
class SoundPlayer;

class RecorderController : public QDialog {
    Q_OBJECT

public:
    // Record states and preview states.
    enum RecordState { Idle = 1, Recording = 2 };
    enum PreviewState { TakeLoaded = 3, PlayingOrEmpty = 4 };

    // `tempFolderPath`: the private temporary folder takes are recorded into.
    RecorderController(const QString& tempFolderPath, QWidget* mainWindow);
    ~RecorderController() override;

    // Opens the sheet (from its reset look, the microphone opened) when there is a
    // microphone; otherwise shows "No Microphone has been found." on the main window.
    void openOver();

    // Creates the recorder if missing; whether the system has a default sound input.
    bool checkMicExist();
    void resetButton();
    // Starts the level timer when it is not running.
    void windowDidLoad();

    // The buttons.
    void controlRecorde();
    void clickPreview();
    void clickSave();
    void closeSheet();

    // A finished take: {"FilePath": file QUrl, "LetPlay": bool}.
    void playFile(const QVariantMap& take);

    [[nodiscard]] float recordVolume() const { return m_recordVolume; }
    void setRecordVolume(float volume);

    // For tests.
    [[nodiscard]] MicPhoneRecorder* recorder() const { return m_recorder.get(); }
    [[nodiscard]] SoundPlayer* player() const { return m_recordeSoundPlayer.get(); }
    [[nodiscard]] QString currentFilePath() const { return m_currentFilePath; }
    [[nodiscard]] int recordBtnState() const { return m_recordBtnState; }
    [[nodiscard]] int previewBtnState() const { return m_previewBtnState; }
    [[nodiscard]] QCheckBox* useItButton() const { return m_UseItBtn; }

protected:
    void reject() override; // Escape and the window's close control close the sheet
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildSheet();
    void createRecorder();
    void updateAudioLevels();
    void reflushPlayTime();
    void reinitRecorder();
    void tellAppLoadFile(const QString& path);
    void showError(const QString& message, const QString& detail);
    void setButtonImage(QPushButton* button, const char* image);

    QString m_tempFolderPath;
    QPointer<QWidget> m_mainWindow;
    QPushButton* m_previewBtn = nullptr;
    QPushButton* m_recordeBtn = nullptr;
    QPushButton* m_saveBtn = nullptr;
    QCheckBox* m_UseItBtn = nullptr;
    DigitShowView* m_digitView = nullptr;
    BMPView* m_BMPView = nullptr;

    std::unique_ptr<MicPhoneRecorder> m_recorder;
    std::unique_ptr<SoundPlayer> m_recordeSoundPlayer;
    QString m_currentFilePath;
    float m_recordVolume = 0.5F;
    int m_previewBtnState = PlayingOrEmpty;
    int m_recordBtnState = Idle;
    bool m_refreshPlayTime = false;

    QTimer m_audioLevelTimer; // 0.1 s: the meter and the running clock
    QTimer m_clockTimer; // 0.1 s: the preview's clock
    QTimer m_restartTimer; // 2.0 s after a stop: the input is opened again
    std::minstd_rand m_flicker; // the preview clock's hundredths only flicker
};
