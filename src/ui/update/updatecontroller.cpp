#include "ui/update/updatecontroller.h"

#include "core/config/productconfig.h"

#include <QCoreApplication>
#include <QUrlQuery>

QUrl UpdateController::updateEndpoint()
{
    const QString configured = qEnvironmentVariable("SONABEL_UPDATE_URL");
    return QUrl(configured.isEmpty() ? QStringLiteral("https://update.corvane.example/sonabel/upgrade") : configured);
}

UpdateController::UpdateController(QWidget* window, QObject* parent)
    : QObject(parent)
    , m_chk(new VFVersionCheck(window, this))
    , m_version(ProductConfig::getValueForKey(QStringLiteral("Version")).value_or(QString()))
{
    m_chk->setDelegate(this);
}

QString UpdateController::productId()
{
    return QCoreApplication::translate("Localizable", "549");
}

QUrl UpdateController::requestUrl() const
{
    QUrl url = updateEndpoint();
    QUrlQuery query(url);
    query.addQueryItem(QStringLiteral("m"), QStringLiteral("upgrade_info"));
    query.addQueryItem(QStringLiteral("pid"), productId());
    query.addQueryItem(QStringLiteral("version"), m_version);
    query.addQueryItem(QStringLiteral("email"), QLatin1String(kContactAddress));
    url.setQuery(query);
    return url;
}

QVariantMap UpdateController::updateInfo() const
{
    return { { QStringLiteral("SkipVersion"),
                 ProductConfig::getValueForKey(QStringLiteral("SkipVersion")).value_or(QString()) },
        { QStringLiteral("Version"), m_version }, { QStringLiteral("UpdateAddress"), requestUrl().toString() },
        { QStringLiteral("HomepageURL"),
            ProductConfig::getValueForKey(QStringLiteral("Productpage")).value_or(QString()) } };
}

void UpdateController::AutoCheckDown()
{
    m_chk->setUpdateInfoWithDic(updateInfo());
    m_chk->autoCheck();
}

void UpdateController::ManCheckDown()
{
    m_chk->setUpdateInfoWithDic(updateInfo());
    m_chk->manCheck();
}

void UpdateController::updateSkipWithVersion(const QString& version)
{
    ProductConfig::setValue(version, QStringLiteral("SkipVersion"));
}
