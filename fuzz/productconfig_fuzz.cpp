// The product configuration file (the shipped one, or the user's copy in the config
// folder, which anyone can edit): opened, every key the program asks for read, one of the
// user's keys written, and the written file read again.

#include "core/config/productconfig.h"
#include "core/config/stringobfuscation.h"
#include "core/config/vyquiltraxmlpartner.h"
#include "fuzz/fuzzsupport.h"

#include <QStringList>

#include <optional>
#include <vector>

namespace {

const QStringList& keysRead()
{
    static const QStringList keys = [] {
        QStringList all { QStringLiteral("Version"), QStringLiteral("DisableUpdate"), QStringLiteral("DisableTwitter"),
            QStringLiteral("DisableExtra"), QStringLiteral("Apple"), QStringLiteral("Productpage"),
            QStringLiteral("HomepageURL"), QStringLiteral("SupportURL"), QStringLiteral("SurveyURL"),
            QStringLiteral("GuideURL"), QStringLiteral("HelpOnlineURL"), QStringLiteral("CustomerServiceURL"),
            QStringLiteral("TwitterURL"), QStringLiteral("DemoURL") };
        all += ProductConfig::userKeys();
        return all;
    }();
    return keys;
}

std::vector<std::optional<QString>> readAll(const VyQuiltraXmlPartner& reader)
{
    std::vector<std::optional<QString>> values;
    for (const QString& key : keysRead()) {
        values.push_back(reader.valueForKey(key));
        (void)reader.attribute(QStringLiteral("id"), key);
    }
    return values;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::quietLogs();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The link decoder takes any stored text, and inverts the encoder.
    const QByteArray raw(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    (void)DecryptString(raw);
    if (size <= 511)
        fuzz::check(DecryptString(EncryptString(raw)) == raw, "a stored link decodes to what was stored");

    fuzz::clearScratch();
    const QString path = fuzz::writeScratch(QStringLiteral("ProductConfig.xml"), data, size);
    const QString root = QLatin1String(ProductConfig::kRootName);
    std::unique_ptr<VyQuiltraXmlPartner> reader = VyQuiltraXmlPartner::initWith(path, root);
    if (!reader)
        return 0;
    std::vector<std::optional<QString>> before = readAll(*reader);

    // A user's key written: the file is readable afterwards, holds the new value and
    // every other key as it read before (a damaged file starts afresh).
    const QString key = QStringLiteral("AutoUpdate");
    const bool wasBroken = reader->isBroken();
    if (!reader->setValue(QStringLiteral("NO"), key))
        return 0;
    fuzz::check(reader->valueForKey(key) == QStringLiteral("NO"), "a written key reads back in memory");
    reader.reset();
    reader = VyQuiltraXmlPartner::initWith(path, root);
    fuzz::check(reader != nullptr, "a written configuration opens again");
    fuzz::check(!reader->isBroken(), "a written configuration is well-formed");
    fuzz::check(reader->valueForKey(key) == QStringLiteral("NO"), "a written key reads back from the file");
    if (!wasBroken) {
        const std::vector<std::optional<QString>> after = readAll(*reader);
        for (size_t i = 0; i < after.size(); ++i) {
            if (keysRead().at(qsizetype(i)) != key)
                fuzz::check(after[i] == before[i], "writing one key leaves the others as they were");
        }
    }
    return 0;
}
