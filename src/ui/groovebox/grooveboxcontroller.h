#pragma once
// The Groove Box sheet: the user punches a drum pattern into the grid (or takes a preset or
// a random one), sets the speed, previews it and saves it as a WAV file in the Groove Box
// folder, which is then opened in the editor. Patterns become sound on GrooveProducer's
// worker; Preview and Save wait for the sound of the pattern they need.
//
// Made once per run and reused; main thread.

#include "core/groovebox/gbpattern.h"

#include <QDialog>
#include <QTimer>

#include <memory>

class GrooveProducer;
class QComboBox;
class QPushButton;
class QScrollArea;
class QSlider;
class SoundPlayer;
class VyMatrix;

class GrooveBoxController : public QDialog {
    Q_OBJECT

public:
    // `gbUtil`: the GBUtil program (empty: beside this program).
    explicit GrooveBoxController(QWidget* mainWindow, const QString& gbUtil = {});
    ~GrooveBoxController() override;

    // Shows the sheet over the main window; the first time it also loads it.
    void openOver();

    void popupButtonSelected(int index);
    void clickRandomButton();
    void clearTable();
    void slideSpeedSlider(int value);
    void preview();
    void saveQTFile();
    void clickOKButton();

    // Grid to model, model to grid.
    void initGBData();
    void refreshCell();

    // For tests.
    [[nodiscard]] VyMatrix* matrix() const { return m_matrix; }
    [[nodiscard]] const GBPattern& pattern() const { return m_gbData; }
    [[nodiscard]] GrooveProducer* producer() const { return m_producer.get(); }
    [[nodiscard]] SoundPlayer* player() const { return m_mySound.get(); }
    [[nodiscard]] bool isSoundPlaying() const { return m_isSoundPlaying; }
    [[nodiscard]] bool isProcessData() const { return m_IsProcessData; }
    // The file a save will write: one above the highest "Groove Box N.wav" in `folder`.
    [[nodiscard]] static QString nextSavePath(const QString& folder);

Q_SIGNALS:
    // A save ended (the path written, or empty with the reason).
    void saveEnded(const QString& path, const QString& error);

protected:
    void reject() override;

private:
    void buildSheet();
    void windowDidLoad();
    void scrollToTop();
    // Reads the grid and asks for its sound.
    void callBackForGetData();
    void produced(int number, bool ok, const QString& error);
    void rendered(int number, bool ok, const QString& error, const QString& path);
    void playMid();
    void stopPreview();
    void tellAppLoadFile(const QString& path);
    void showAlert(const QString& message, const QString& informative);

    QScrollArea* m_scrollView = nullptr;
    VyMatrix* m_matrix = nullptr;
    QComboBox* m_presets = nullptr;
    QPushButton* m_randomButton = nullptr;
    QPushButton* m_previewButton = nullptr;
    QPushButton* m_saveButton = nullptr;
    QSlider* m_speedSlider = nullptr;

    GBPattern m_gbData;
    int m_speed = GBPattern::kDefaultSpeed;
    std::unique_ptr<GrooveProducer> m_producer;
    std::unique_ptr<SoundPlayer> m_mySound;
    bool m_isSoundPlaying = false;
    bool m_IsProcessData = false;
    bool m_loaded = false;

    int m_requested = 0; // the newest pattern asked for
    int m_produced = 0; // the newest pattern turned into sound
    int m_randomRequest = 0; // what Random waits for
    bool m_previewWaiting = false; // Preview plays when the newest pattern is ready
    bool m_saveWaiting = false; // Save renders when the newest pattern is ready
    int m_saveRender = 0; // the running save's render
    QTimer m_regenerateTimer; // presets and Random produce their sound after 0.5 s
};
