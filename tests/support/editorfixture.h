#pragma once
// The editor as the main window holds it, without the window: a shown editor over the
// shipped configuration, with a scratch home (where the ringtone library is made) and
// temporary folder, tone files handed over as the main window hands them, and the steps
// of the save flow.

#include "core/environment/editingstate.h"
#include "media/decoderlib.h"
#include "support/fixtures.h"
#include "support/monitorcapture.h"
#include "support/productconfigsandbox.h"
#include "support/qtfixtures.h"
#include "ui/editor/vyaudioeditorviewcontroller.h"

#include <QCheckBox>
#include <QStringList>
#include <QTest>

#include <vector>

class QMessageBox;
class RingtoneSaveController;

class EditorFixture : public ProductConfigSandbox {
protected:
    static void SetUpTestSuite() { DecMgrInit(); }
    void SetUp() override;
    void TearDown() override;

    // A steady 440 Hz tone of `seconds` at `rate` Hz, written once per test.
    QString tone(double seconds, int rate = 8000);
    // Hands `path`, a file of `seconds`, over as "Tone.wav", expecting a new load.
    void startLoad(const QString& path, double seconds);
    // True once the load handed over last has its waveform.
    bool waitLoaded(int timeoutMs = 20000)
    {
        return MonitorCapture::waitFor([this] { return loaded > loadedBefore; }, timeoutMs);
    }
    // A tone handed over, with its waveform; its path.
    QString load(double seconds, int rate = 8000);
    // The same; false when the editor has no player (no sound output).
    bool loadToPlay(double seconds, int rate = 8000)
    {
        load(seconds, rate);
        return editor.playerState() != PlayerState::None;
    }
    // The preferences' silence between preview passes.
    static void setRingsGap(double seconds);
    // The runs of sound and silence heard (MonitorCapture::runsMs) once there are `count`.
    static std::vector<int> waitForRuns(const MonitorCapture& monitor, size_t count, int timeoutMs);

    // Selects the field's text, types over it and confirms with Return.
    void type(QLineEdit* field, const QString& text);
    void click(QWidget* widget, QPoint at) { QTest::mouseClick(widget, Qt::LeftButton, {}, at); }
    // A click on a check box's box, where a user aims.
    void tick(QCheckBox* box) { click(box, QPoint(5, box->height() / 2)); }
    // Waveform pixels as seconds at the current scale, and the chosen part's edges in seconds.
    [[nodiscard]] double seconds(double pixels) const { return pixels / gloableState()._moveDx.load() / 1000.0; }
    [[nodiscard]] double partStart() const { return seconds(editor.part().x); }
    [[nodiscard]] double partEnd() const { return seconds(editor.part().right()); }

    [[nodiscard]] RingtoneSaveController* saver() const { return editor.saveController(); }
    // Create Ringtone, the name typed into the sheet, OK.
    void createRingtone(const QString& name);
    void clickOk(QDialog* sheet);
    // Save As, with `path` handed over as the save panel's answer.
    void saveAs(const QString& path);
    bool waitFinished(int count = 1)
    {
        return MonitorCapture::waitFor([&] { return finished.size() >= count; }, 30000);
    }
    // The save flow's alert once it shows `text`, or null.
    QMessageBox* waitAlert(const QString& text);
    void closeAlerts();
    // `name` in the ringtone library under the scratch home.
    [[nodiscard]] QString library(const QString& name) const
    {
        return q(home.path() + "/Music/iTunes/iTunes Media/Ringtones/") + name;
    }

    fixtures::ScratchDir home;
    fixtures::ScratchDir temp;
    fixtures::ScratchDir media;
    VyAudioEditorViewController editor;
    QStringList finished; // each save's path, empty when it failed
    int loaded = 0; // waveforms that arrived
    int loadedBefore = 0;

private:
    QByteArray m_savedHome;
};
