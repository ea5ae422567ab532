#pragma once
// Our update checker: fetches the update address, compares the newest version it names
// with ours and, when it is newer, offers "Download", "Skip This Version" and "Later".
// The automatic check says nothing unless there is something new (and not skipped);
// the manual check also says when we are up to date or when it could not check.
//
// The answer is a JSON object (see the README):
//   {"version": "2.2.0", "download": "https://...", "notes": "What changed"}
// "version" is required; "download" falls back to the product page.
//
// Main thread only.

#include <QMessageBox>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <QVariantMap>

class QNetworkAccessManager;
class QWidget;

class VFVersionCheckDelegate {
public:
    virtual ~VFVersionCheckDelegate() = default;
    virtual void updateSkipWithVersion(const QString& version) = 0;
};

class VFVersionCheck : public QObject {
    Q_OBJECT

public:
    enum class Outcome { None, NewVersion, UpToDate, Skipped, Failed };

    static constexpr int kTimeoutMs = 15000;

    // `window`: where the dialogs appear as sheets (none: application-modal).
    explicit VFVersionCheck(QWidget* window, QObject* parent = nullptr);
    ~VFVersionCheck() override;

    void setDelegate(VFVersionCheckDelegate* delegate) { m_delegate = delegate; }
    // {"SkipVersion", "Version", "UpdateAddress", "HomepageURL"}.
    void setUpdateInfoWithDic(const QVariantMap& info);
    void autoCheck();
    void manCheck();

    // -1, 0 or 1 as `a` is older, the same or newer than `b`, component by component
    // ("2.1" equals "2.1.0"; a component reads its leading number).
    [[nodiscard]] static int compareVersions(const QString& a, const QString& b);

    [[nodiscard]] Outcome lastOutcome() const { return m_outcome; }
    [[nodiscard]] QMessageBox* currentDialog() const { return m_dialog; }
    [[nodiscard]] bool isChecking() const { return m_reply != nullptr; }

Q_SIGNALS:
    // The check is over, whatever its outcome.
    void finished(VFVersionCheck::Outcome outcome);

private:
    void check(bool manual);
    void answered(QNetworkReply* reply, bool manual);
    void offer(const QString& version, const QUrl& download, const QString& notes);
    void tell(const QString& title, const QString& text, bool warning);
    void finish(Outcome outcome);
    QMessageBox* makeDialog(int icon, const QString& title, const QString& text);

    QPointer<QWidget> m_window;
    VFVersionCheckDelegate* m_delegate = nullptr;
    QNetworkAccessManager* m_network = nullptr;
    QPointer<QNetworkReply> m_reply;
    QPointer<QMessageBox> m_dialog;
    QVariantMap m_info;
    Outcome m_outcome = Outcome::None;
};
