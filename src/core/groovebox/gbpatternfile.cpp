#include "core/groovebox/gbpatternfile.h"

#include "core/files/atomicfile.h"

#include <QFile>

#include <cstring>
#include <pugixml.hpp>

namespace GBPatternFile {

namespace {

struct ByteArrayWriter : pugi::xml_writer {
    QByteArray bytes;
    void write(const void* data, size_t size) override
    {
        bytes.append(static_cast<const char*>(data), static_cast<qsizetype>(size));
    }
};

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

// A decimal number with nothing around it.
std::optional<int> decimal(const char* text)
{
    bool ok = false;
    const QString trimmed = QString::fromUtf8(text).trimmed();
    const int value = trimmed.toInt(&ok, 10);
    if (!ok || trimmed.startsWith(u'+'))
        return std::nullopt;
    return value;
}

} // namespace

QByteArray toXml(const GBPattern& pattern)
{
    pugi::xml_document document;
    pugi::xml_node declaration = document.append_child(pugi::node_declaration);
    declaration.append_attribute("version").set_value("1.0");
    declaration.append_attribute("encoding").set_value("UTF-8");
    pugi::xml_node info = document.append_child("info");
    for (const VyGBData& data : pattern.gbData())
        data.getNode(info);
    info.append_child("Speed").text().set(pattern.speed());
    ByteArrayWriter writer;
    document.save(writer, "  ", pugi::format_default, pugi::encoding_utf8);
    return writer.bytes;
}

bool writePatternFile(const GBPattern& pattern, const QString& path, QString* error)
{
    return AtomicFile::writeData(path, toXml(pattern), AtomicFile::Existing::Replace, error);
}

std::optional<GBPattern> fromXml(const QByteArray& text, QString* error)
{
    pugi::xml_document document;
    const pugi::xml_parse_result parsed = document.load_buffer(text.constData(), static_cast<size_t>(text.size()));
    if (!parsed) {
        setError(error,
            QStringLiteral("not XML (%1 at byte %2)").arg(QString::fromUtf8(parsed.description())).arg(parsed.offset));
        return std::nullopt;
    }
    const pugi::xml_node info = document.document_element();
    if (std::strcmp(info.name(), "info") != 0) {
        setError(error, QStringLiteral("the root element is not \"info\""));
        return std::nullopt;
    }

    QList<QList<int>> grid;
    std::optional<int> speed;
    for (const pugi::xml_node& node : info.children()) {
        if (node.type() != pugi::node_element)
            continue;
        const QString name = QString::fromUtf8(node.name());
        if (name == u"Instrument") {
            const int expected = GBPattern::kFirstKey + static_cast<int>(grid.size());
            const std::optional<int> id = decimal(node.attribute("id").value());
            if (speed || !id || *id != expected) {
                setError(error,
                    QStringLiteral("instrument %1 has the id \"%2\"; expected %3 before \"Speed\"")
                        .arg(grid.size() + 1)
                        .arg(QString::fromUtf8(node.attribute("id").value()))
                        .arg(expected));
                return std::nullopt;
            }
            const QStringList values = QString::fromUtf8(node.child_value()).trimmed().split(u',');
            if (values.size() != GBPattern::kStepCount) {
                setError(error,
                    QStringLiteral("instrument %1 has %2 values; expected %3")
                        .arg(expected)
                        .arg(values.size())
                        .arg(GBPattern::kStepCount));
                return std::nullopt;
            }
            QList<int> ticks;
            ticks.reserve(values.size());
            for (const QString& value : values) {
                if (value != u"0" && value != u"1") {
                    setError(error,
                        QStringLiteral("instrument %1 has the value \"%2\"; expected 0 or 1").arg(expected).arg(value));
                    return std::nullopt;
                }
                ticks.append(value == u"1" ? 1 : 0);
            }
            grid.append(ticks);
        } else if (name == u"Speed" && !speed) {
            speed = decimal(node.child_value());
            if (!speed || *speed < 0 || *speed > kMaxSpeed) {
                setError(error,
                    QStringLiteral("the speed \"%1\" is not a number from 0 to %2")
                        .arg(QString::fromUtf8(node.child_value()))
                        .arg(kMaxSpeed));
                return std::nullopt;
            }
        } else {
            setError(error, QStringLiteral("unexpected element \"%1\"").arg(name));
            return std::nullopt;
        }
    }
    if (grid.size() != GBPattern::kInstrumentCount) {
        setError(
            error, QStringLiteral("%1 instruments; expected %2").arg(grid.size()).arg(GBPattern::kInstrumentCount));
        return std::nullopt;
    }
    if (!speed) {
        setError(error, QStringLiteral("no \"Speed\" element"));
        return std::nullopt;
    }
    GBPattern pattern;
    pattern.initGBData(grid);
    pattern.setSpeed(*speed);
    return pattern;
}

std::optional<GBPattern> readPatternFile(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        setError(error, file.errorString());
        return std::nullopt;
    }
    return fromXml(file.readAll(), error);
}

} // namespace GBPatternFile
