#include "ui/update/vfversioncheck.h"

#include "core/environment/logging.h"
#include "core/text/leadingnumber.h"
#include "ui/links/linkopener.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageBox>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPushButton>

VFVersionCheck::VFVersionCheck(QWidget* window, QObject* parent)
    : QObject(parent)
    , m_window(window)
    , m_network(new QNetworkAccessManager(this))
{
}

VFVersionCheck::~VFVersionCheck()
{
    if (m_reply != nullptr)
        m_reply->abort();
}

void VFVersionCheck::setUpdateInfoWithDic(const QVariantMap& info)
{
    m_info = info;
}

void VFVersionCheck::autoCheck()
{
    check(false);
}

void VFVersionCheck::manCheck()
{
    check(true);
}

int VFVersionCheck::compareVersions(const QString& a, const QString& b)
{
    const QStringList left = a.trimmed().split(u'.');
    const QStringList right = b.trimmed().split(u'.');
    for (qsizetype i = 0; i < qMax(left.size(), right.size()); ++i) {
        const int l = i < left.size() ? leadingInt(left.at(i)) : 0;
        const int r = i < right.size() ? leadingInt(right.at(i)) : 0;
        if (l != r)
            return l < r ? -1 : 1;
    }
    return 0;
}

void VFVersionCheck::check(bool manual)
{
    if (m_reply != nullptr)
        return; // one check at a time
    const QUrl address(m_info.value(QStringLiteral("UpdateAddress")).toString());
    if (!address.isValid() || address.isEmpty()) {
        if (manual)
            tell(QStringLiteral("Could not check for updates."), QStringLiteral("The update address is not valid."),
                true);
        finish(Outcome::Failed);
        return;
    }
    QNetworkRequest request(address);
    request.setTransferTimeout(kTimeoutMs);
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Corvane Sonabel"));
    m_reply = m_network->get(request);
    QNetworkReply* reply = m_reply;
    connect(reply, &QNetworkReply::finished, this, [this, reply, manual] { answered(reply, manual); });
}

void VFVersionCheck::answered(QNetworkReply* reply, bool manual)
{
    reply->deleteLater();
    m_reply = nullptr;
    QString problem; // what the user is told
    QString detail; // what the log keeps, when it says more
    QJsonObject answer;
    if (reply->error() != QNetworkReply::NoError) {
        problem = QStringLiteral("Could not reach the update server.");
        detail = reply->errorString();
    } else {
        QJsonParseError error {};
        const QJsonDocument document = QJsonDocument::fromJson(reply->read(64 * 1024), &error);
        answer = document.object();
        if (error.error != QJsonParseError::NoError || !document.isObject()
            || answer.value(QStringLiteral("version")).toString().trimmed().isEmpty())
            problem = QStringLiteral("The update server gave an answer that could not be read.");
    }
    if (!problem.isEmpty()) {
        qCWarning(lcApp).noquote()
            << QStringLiteral("update check failed: %1").arg(detail.isEmpty() ? problem : detail);
        // The automatic check stays silent: no network is no news.
        if (manual)
            tell(QStringLiteral("Could not check for updates."), problem, true);
        finish(Outcome::Failed);
        return;
    }

    const QString newest = answer.value(QStringLiteral("version")).toString().trimmed();
    const QString ours = m_info.value(QStringLiteral("Version")).toString();
    if (compareVersions(newest, ours) <= 0) {
        if (manual)
            tell(QStringLiteral("Corvane Sonabel is up to date."),
                QStringLiteral("Version %1 is the newest version.").arg(ours), false);
        finish(Outcome::UpToDate);
        return;
    }
    // A version the user skipped is offered again only when asked for.
    const QString skipped = m_info.value(QStringLiteral("SkipVersion")).toString();
    if (!manual && !skipped.isEmpty() && compareVersions(newest, skipped) == 0) {
        finish(Outcome::Skipped);
        return;
    }
    QUrl download(answer.value(QStringLiteral("download")).toString());
    if (download.isEmpty() || !download.isValid())
        download = QUrl(m_info.value(QStringLiteral("HomepageURL")).toString());
    offer(newest, download, answer.value(QStringLiteral("notes")).toString());
    finish(Outcome::NewVersion);
}

QMessageBox* VFVersionCheck::makeDialog(int icon, const QString& title, const QString& text)
{
    if (m_dialog != nullptr)
        m_dialog->close();
    auto* box = new QMessageBox(static_cast<QMessageBox::Icon>(icon), title, text, QMessageBox::NoButton, m_window);
    box->setObjectName(QStringLiteral("updateDialog"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(m_window != nullptr ? Qt::WindowModal : Qt::ApplicationModal);
    m_dialog = box;
    return box;
}

void VFVersionCheck::offer(const QString& version, const QUrl& download, const QString& notes)
{
    QMessageBox* box
        = makeDialog(QMessageBox::Information, QStringLiteral("A new version of Corvane Sonabel is available"),
            QStringLiteral("Corvane Sonabel %1 is available; you have %2. Would you like to download it?")
                .arg(version, m_info.value(QStringLiteral("Version")).toString()));
    if (!notes.isEmpty())
        box->setDetailedText(notes);
    QPushButton* get = box->addButton(QStringLiteral("Download"), QMessageBox::AcceptRole);
    QPushButton* skip = box->addButton(QStringLiteral("Skip This Version"), QMessageBox::DestructiveRole);
    box->addButton(QStringLiteral("Later"), QMessageBox::RejectRole);
    connect(box, &QMessageBox::buttonClicked, this, [this, get, skip, version, download](QAbstractButton* button) {
        if (button == get)
            LinkOpener::open(download);
        else if (button == skip && m_delegate != nullptr)
            m_delegate->updateSkipWithVersion(version);
    });
    box->open();
}

void VFVersionCheck::tell(const QString& title, const QString& text, bool warning)
{
    QMessageBox* box = makeDialog(warning ? QMessageBox::Warning : QMessageBox::Information, title, text);
    box->addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box->open();
}

void VFVersionCheck::finish(Outcome outcome)
{
    m_outcome = outcome;
    Q_EMIT finished(outcome);
}
