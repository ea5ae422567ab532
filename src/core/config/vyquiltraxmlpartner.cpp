#include "core/config/vyquiltraxmlpartner.h"

#include "core/config/stringobfuscation.h"
#include "core/environment/logging.h"

#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>

#include <pugixml.hpp>

namespace {

// Whitespace-only values are kept; the indentation between elements is not, since the
// writer indents afresh.
constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_ws_pcdata_single | pugi::parse_declaration;

bool isElementName(const QString& part)
{
    static const QRegularExpression name(QStringLiteral("^[A-Za-z_][A-Za-z0-9._-]*$"));
    return name.match(part).hasMatch();
}

struct ByteArrayWriter : pugi::xml_writer {
    QByteArray bytes;
    void write(const void* data, size_t size) override
    {
        bytes.append(static_cast<const char*>(data), static_cast<qsizetype>(size));
    }
};

QByteArray initialText(const QString& rootName)
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<%1>\n</%1>")
        .arg(rootName)
        .toUtf8();
}

bool writeAtomically(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    qCWarning(lcFiles).noquote() << QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    return false;
}

// A name beside `path` that no file has yet.
QString asideName(const QString& path)
{
    QString candidate = path + QStringLiteral(".broken");
    for (int n = 1; QFile::exists(candidate); ++n)
        candidate = path + QStringLiteral(".broken.") + QString::number(n);
    return candidate;
}

} // namespace

VyQuiltraXmlPartner::VyQuiltraXmlPartner(QString path, QString rootName)
    : sFilePath(std::move(path))
    , m_rootName(std::move(rootName))
    , xmlDoc(std::make_unique<pugi::xml_document>())
{
}

VyQuiltraXmlPartner::~VyQuiltraXmlPartner() = default;

std::unique_ptr<VyQuiltraXmlPartner> VyQuiltraXmlPartner::initWith(const QString& path, const QString& rootName)
{
    if (path.isEmpty() || !isElementName(rootName))
        return nullptr;
    std::unique_ptr<VyQuiltraXmlPartner> reader(new VyQuiltraXmlPartner(path, rootName));
    if (!reader->load())
        return nullptr;
    return reader;
}

bool VyQuiltraXmlPartner::load()
{
    if (!QFile::exists(sFilePath) && !writeAtomically(sFilePath, initialText(m_rootName)))
        return false;
    QFile file(sFilePath);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();

    const pugi::xml_parse_result result
        = xmlDoc->load_buffer(bytes.constData(), static_cast<size_t>(bytes.size()), kParseOptions, pugi::encoding_utf8);
    const bool rootMatches = m_rootName == QString::fromUtf8(xmlDoc->document_element().name());
    if (result && rootMatches)
        return true;
    if (result)
        return false; // a well-formed file of something else: not ours to read or write

    // Malformed: keep what parsed before the damage when it is ours; else read nothing.
    // Either way the file is moved aside before anything is written over it.
    m_broken = true;
    qCWarning(lcFiles).noquote() << QStringLiteral("%1 is damaged (%2 at byte %3)")
                                        .arg(sFilePath, QString::fromUtf8(result.description()))
                                        .arg(result.offset);
    if (!rootMatches) {
        xmlDoc->reset();
        pugi::xml_node declaration = xmlDoc->append_child(pugi::node_declaration);
        declaration.append_attribute("version") = "1.0";
        declaration.append_attribute("encoding") = "UTF-8";
        declaration.append_attribute("standalone") = "yes";
        xmlDoc->append_child(m_rootName.toUtf8().constData());
        m_unreadable = true;
    }
    return true;
}

std::optional<QString> VyQuiltraXmlPartner::valueForKey(const QString& key) const
{
    if (m_unreadable || key.isEmpty())
        return std::nullopt;
    pugi::xpath_node found;
    try {
        found = xmlDoc->document_element().select_node(key.toUtf8().constData());
    } catch (const pugi::xpath_exception& e) {
        qCWarning(lcFiles) << "bad settings key" << key << e.what();
        return std::nullopt;
    }
    if (!found)
        return std::nullopt;
    const char* text = found.attribute() ? found.attribute().value() : found.node().text().get();
    const QByteArray raw(text);
    if (key.contains(QStringLiteral("URL")))
        return QString::fromUtf8(DecryptString(raw));
    return QString::fromUtf8(raw);
}

std::optional<QString> VyQuiltraXmlPartner::attribute(const QString& attributeName, const QString& key) const
{
    if (m_unreadable || key.isEmpty())
        return std::nullopt;
    try {
        const pugi::xml_node node = xmlDoc->document_element().select_node(key.toUtf8().constData()).node();
        const pugi::xml_attribute attr = node.attribute(attributeName.toUtf8().constData());
        if (attr)
            return QString::fromUtf8(attr.value());
    } catch (const pugi::xpath_exception& e) {
        qCWarning(lcFiles) << "bad settings key" << key << e.what();
    }
    return std::nullopt;
}

bool VyQuiltraXmlPartner::setValue(const QString& value, const QString& key)
{
    pugi::xml_node element = xmlDoc->document_element();
    const QStringList parts = key.split(u'/', Qt::SkipEmptyParts);
    if (parts.isEmpty() || !element)
        return false;
    for (const QString& part : parts) {
        if (!isElementName(part))
            return false;
        const QByteArray name = part.toUtf8();
        pugi::xml_node child = element.child(name.constData());
        if (!child)
            child = element.append_child(name.constData());
        if (!child)
            return false;
        element = child;
    }
    element.text().set(value.toUtf8().constData());
    return flush();
}

bool VyQuiltraXmlPartner::setIntValue(int value, const QString& key)
{
    return setValue(QString::number(value), key);
}

bool VyQuiltraXmlPartner::flush()
{
    if (m_broken && QFile::exists(sFilePath)) {
        const QString aside = asideName(sFilePath);
        if (!QFile::rename(sFilePath, aside)) {
            qCWarning(lcFiles).noquote()
                << QStringLiteral("cannot move the damaged %1 aside to %2; not writing").arg(sFilePath, aside);
            return false;
        }
        qCWarning(lcFiles).noquote() << QStringLiteral("moved the damaged %1 aside to %2").arg(sFilePath, aside);
    }
    m_broken = false;
    m_unreadable = false; // what is in memory now is what the file will hold
    ByteArrayWriter writer;
    xmlDoc->save(writer, "\t", pugi::format_indent, pugi::encoding_utf8);
    return writeAtomically(sFilePath, writer.bytes);
}
