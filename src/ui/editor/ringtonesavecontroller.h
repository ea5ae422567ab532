#pragma once
// The end of the editing flow: the ringtone-name sheet or the save panel, the conversion on
// a worker thread behind a progress dialog, and the delivery: into the ringtone library
// (and onto the phone when the editor's transfer box is ticked), or to the picked path.
//
// Threads: everything here runs on the main thread except saveFileThread(), which works
// on a snapshot of the editor taken when the save starts and reaches the widgets only
// through queued calls. The failure alert holds the worker until the user closes it (or
// the controller goes away).

#include "core/save/saveplan.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QVariantMap>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

class QDialog;
class QFileDialog;
class QLineEdit;
class QMessageBox;
class QPushButton;
class ShowProcessViewController;
class VyAudioEditorViewController;
class VyRingtoneiPhoneTransfor;

class RingtoneSaveController : public QObject {
    Q_OBJECT

public:
    static constexpr int kSaveDelayMs = 800;

    // Where a finished save put the ringtone: the file on this computer (the library's
    // copy, or the picked path) and the name the phone gave its copy, when it has one.
    struct SavedPlace {
        QString localPath;
        QString phoneName;
    };
    // The progress dialog's closing line(s): "Saved to ~/...", "Copied to the iPhone as ...".
    [[nodiscard]] static QString savedPlaceText(const SavedPlace& place);

    explicit RingtoneSaveController(VyAudioEditorViewController& editor);
    ~RingtoneSaveController() override;

    void setPhoneLink(VyRingtoneiPhoneTransfor* link) { m_phoneLink = link; }
    [[nodiscard]] VyRingtoneiPhoneTransfor* phoneLink() const { return m_phoneLink; }

    void setIsSaveAs(unsigned value) { m_isSaveAs = value; }
    [[nodiscard]] unsigned isSaveAs() const { return m_isSaveAs; }

    // Create ringtone (or, after setIsSaveAs(1), Save As).
    void uploadToiTunes();
    // The save panel closed; `pickedPath` is its file when accepted.
    void savePanelDidEnd(int returnCode, const QString& pickedPath);
    // Starts the save: the 40-second warning, the progress dialog and the worker.
    void saveFileTimerFunction();
    // The transfer box was switched.
    void transferToIPhone();
    // Copies one ringtone record ("Name", "Length", "Path") onto the phone; the record as
    // the phone names it, or none; `registered` tells whether the phone's ringtone list
    // took it. Worker thread.
    std::optional<QVariantMap> copyRingtoneToDest(QVariantMap record, bool* registered = nullptr);

    // Waits at most `limitMs` for a running save. False when it still runs.
    bool stopWorkers(int limitMs);
    [[nodiscard]] bool isSaving() const { return m_saving.load(); }

    // The dialogs, for the window that drives them.
    [[nodiscard]] QDialog* nameSheet() const { return m_nameSheet; }
    [[nodiscard]] QLineEdit* saveFileNameTF() const { return m_saveFileNameTF; }
    [[nodiscard]] QFileDialog* savePanel() const;
    [[nodiscard]] QMessageBox* progressDialog() const { return m_progressDialog; }
    [[nodiscard]] ShowProcessViewController* spvc() const { return m_spvc; }
    [[nodiscard]] QMessageBox* lastAlert() const;

Q_SIGNALS:
    // A save ended: the ringtone's path, or empty when it failed.
    void saveFinished(const QString& outputPath);

private:
    struct SaveRequest {
        SaveChoices choices;
        QString sourceFile;
        std::optional<QVariantMap> audioParm;
        bool transferToPhone = false;
    };

    void makeNameSheet();
    // The name sheet's OK: a beep and the sheet stays while the name names no file.
    bool shouldCloseSheet();
    void startSave(SaveRequest request);
    void saveFileThread(SaveRequest request);
    void setProgress(float fraction);
    // Shows an alert as a sheet on the editor's window (or application-modal).
    QMessageBox* showSheet(int icon, const QString& message, const QString& informative, QWidget* window = nullptr,
        bool applicationModal = false);
    // From the worker: shows an alert and waits until it is closed or the controller stops.
    void alertAndWait(const QString& message, const QString& informative);
    void finishOnMainThread(const QString& outputPath, const SavedPlace& place);
    void onMain(std::function<void()> work);

    VyAudioEditorViewController& m_editor;
    VyRingtoneiPhoneTransfor* m_phoneLink = nullptr;
    unsigned m_isSaveAs = 0;
    QString m_chooseName;

    QDialog* m_nameSheet = nullptr;
    QLineEdit* m_saveFileNameTF = nullptr;
    QPointer<QFileDialog> m_savePanel;
    QMessageBox* m_progressDialog = nullptr;
    QPushButton* m_progressButton = nullptr;
    ShowProcessViewController* m_spvc = nullptr;
    QPointer<QMessageBox> m_lastAlert;
    QTimer m_saveTimer;

    std::thread m_worker;
    std::atomic<bool> m_saving { false };
    std::atomic<bool> m_stopping { false };
    std::mutex m_alertMutex;
    std::condition_variable m_alertClosed;
    bool m_alertOpen = false; // guarded by m_alertMutex
};
