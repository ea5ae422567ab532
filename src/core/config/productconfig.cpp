#include "core/config/productconfig.h"

#include "core/config/vyquiltraxmlpartner.h"
#include "core/environment/appplaces.h"
#include "core/environment/logging.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <memory>
#include <mutex>

namespace {

struct Readers {
    std::mutex mutex;
    std::unique_ptr<VyQuiltraXmlPartner> shipped;
    std::unique_ptr<VyQuiltraXmlPartner> user;
};

Readers& readers()
{
    static Readers r;
    return r;
}

const QString kFileName = QStringLiteral("ProductConfig.xml");

VyQuiltraXmlPartner* shippedReader(Readers& r)
{
    if (!r.shipped) {
        const QString path = ProductConfig::shippedPath();
        if (!QFileInfo::exists(path)) {
            qCWarning(lcApp) << "productconfig didn't exist!";
            return nullptr;
        }
        r.shipped = VyQuiltraXmlPartner::initWith(path, QLatin1String(ProductConfig::kRootName));
    }
    return r.shipped.get();
}

// The user's copy; made only when `create` (on a write).
VyQuiltraXmlPartner* userReader(Readers& r, bool create)
{
    if (!r.user) {
        const QString path = ProductConfig::userPath();
        if (!create && !QFileInfo::exists(path))
            return nullptr;
        QDir().mkpath(QFileInfo(path).path());
        r.user = VyQuiltraXmlPartner::initWith(path, QLatin1String(ProductConfig::kRootName));
    }
    return r.user.get();
}

} // namespace

QString ProductConfig::shippedPath()
{
    const QString beside = AppPlaces::applicationFolder() + u'/' + kFileName;
    if (QFileInfo::exists(beside))
        return beside;
    const QString installed
        = QDir::cleanPath(AppPlaces::applicationFolder() + QStringLiteral("/../share/corvane-sonabel/") + kFileName);
    return QFileInfo::exists(installed) ? installed : beside;
}

QString ProductConfig::userPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/corvane-sonabel/")
        + kFileName;
}

const QStringList& ProductConfig::userKeys()
{
    static const QStringList keys { QStringLiteral("PlaySoundWhenStart"), QStringLiteral("AutoUpdate"),
        QStringLiteral("ShowTimeTip"), QStringLiteral("SkipVersion") };
    return keys;
}

std::optional<QString> ProductConfig::getValueForKey(const QString& key)
{
    Readers& r = readers();
    const std::lock_guard lock(r.mutex);
    if (userKeys().contains(key)) {
        if (VyQuiltraXmlPartner* user = userReader(r, false)) {
            if (std::optional<QString> value = user->valueForKey(key))
                return value;
        }
    }
    VyQuiltraXmlPartner* shipped = shippedReader(r);
    return shipped != nullptr ? shipped->valueForKey(key) : std::nullopt;
}

bool ProductConfig::setValue(const QString& value, const QString& key)
{
    if (!userKeys().contains(key)) {
        qCWarning(lcApp) << "the product setting" << key << "is not the user's to change";
        return false;
    }
    Readers& r = readers();
    const std::lock_guard lock(r.mutex);
    VyQuiltraXmlPartner* user = userReader(r, true);
    if (user == nullptr) {
        qCWarning(lcApp).noquote() << QStringLiteral("cannot open the settings file %1").arg(userPath());
        return false;
    }
    return user->setValue(value, key);
}

bool ProductConfig::isYes(const QString& key)
{
    return getValueForKey(key) == QStringLiteral("YES");
}

bool ProductConfig::isSwitchOn(const QString& key)
{
    return getValueForKey(key) == QStringLiteral("1");
}

void ProductConfig::reload()
{
    Readers& r = readers();
    const std::lock_guard lock(r.mutex);
    r.shipped.reset();
    r.user.reset();
}
