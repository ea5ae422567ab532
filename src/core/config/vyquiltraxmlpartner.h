#pragma once
// One XML settings file: a root element whose children are the keys. Values are looked
// up with XPath relative to the root; a value whose key contains "URL" is stored
// obfuscated and read back decoded.
//
// Threads: one reader is used by one thread at a time.

#include <QString>

#include <memory>
#include <optional>

namespace pugi {
class xml_document;
}

class VyQuiltraXmlPartner {
public:
    // Opens `path`, creating it with an empty root when it does not exist. None when the
    // file cannot be created or its root element is not `rootName`. A file too damaged
    // to read opens with every key absent; the next write moves it aside first.
    [[nodiscard]] static std::unique_ptr<VyQuiltraXmlPartner> initWith(const QString& path, const QString& rootName);
    ~VyQuiltraXmlPartner();
    VyQuiltraXmlPartner(const VyQuiltraXmlPartner&) = delete;
    VyQuiltraXmlPartner& operator=(const VyQuiltraXmlPartner&) = delete;

    // The text of the first node the key matches; none when nothing matches.
    [[nodiscard]] std::optional<QString> valueForKey(const QString& key) const;
    // The named attribute of the first node the key matches.
    [[nodiscard]] std::optional<QString> attribute(const QString& attributeName, const QString& key) const;
    // Sets the text of the element the slash-separated key names, making the missing
    // elements, and writes the file. False when the element cannot be made or the file
    // cannot be written (logged).
    bool setValue(const QString& value, const QString& key);
    bool setIntValue(int value, const QString& key);
    // Writes the document back, pretty-printed, through a temporary file.
    bool flush();

    [[nodiscard]] const QString& filePath() const { return sFilePath; }
    // The file did not parse cleanly and has not been written since.
    [[nodiscard]] bool isBroken() const { return m_broken; }

private:
    VyQuiltraXmlPartner(QString path, QString rootName);
    bool load();

    QString sFilePath;
    QString m_rootName;
    std::unique_ptr<pugi::xml_document> xmlDoc;
    bool m_broken = false; // damaged on disk: moved aside before the next write
    bool m_unreadable = false; // nothing of it could be read: every key is absent
};
