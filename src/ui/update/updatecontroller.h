#pragma once
// Prepares the update check: the request address with the product id, our version and
// the contact address, the skipped version and the product page, handed to our
// checker; stores a version the user chose to skip.
//
// Main thread only.

#include "ui/update/vfversioncheck.h"

#include <QObject>
#include <QUrl>

class UpdateController : public QObject, public VFVersionCheckDelegate {
    Q_OBJECT

public:
    // Where the update information lives. SONABEL_UPDATE_URL replaces it (deployments,
    // tests).
    [[nodiscard]] static QUrl updateEndpoint();
    static constexpr auto kContactAddress = "support@corvane.example";

    UpdateController(QWidget* window, QObject* parent = nullptr);

    void AutoCheckDown();
    void ManCheckDown();
    void updateSkipWithVersion(const QString& version) override;

    // The localised product id ("549" where nothing maps it).
    [[nodiscard]] static QString productId();
    // The address with "m", "pid", "version" and "email".
    [[nodiscard]] QUrl requestUrl() const;
    [[nodiscard]] QVariantMap updateInfo() const;
    [[nodiscard]] VFVersionCheck* chk() const { return m_chk; }
    [[nodiscard]] const QString& version() const { return m_version; }

private:
    VFVersionCheck* m_chk;
    QString m_version;
};
