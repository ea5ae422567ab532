#pragma once
// The library tests' home: HOME points at a fresh folder for the test's length, and the
// library file setting is cleared before and after it.

#include "support/itunesxml.h"

#include "core/medialibrary/mediaiteminfo.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

class LibraryHomeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_savedHome = qgetenv("HOME");
        qputenv("HOME", m_home.path().toUtf8());
        clearSetting();
    }
    void TearDown() override
    {
        clearSetting();
        qputenv("HOME", m_savedHome);
    }

    [[nodiscard]] QString home(const QString& relative) const { return m_home.path() + u'/' + relative; }

    // Writes `library` at home + `relative`, making its folder.
    QString writeLibrary(const itunesxml::Library& library, const QString& relative = QStringLiteral("library.xml"))
    {
        const QString path = home(relative);
        QDir().mkpath(QFileInfo(path).path());
        EXPECT_TRUE(library.write(path));
        return path;
    }

    // Makes a file of `bytes` at home + `relative`, with its folders.
    QString touch(const QString& relative, const QByteArray& bytes = "x")
    {
        const QString path = home(relative);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        return path;
    }

    static QStringList namesOf(const QList<MediaItemInfo>& items)
    {
        QStringList names;
        for (const MediaItemInfo& item : items)
            names << item.name;
        return names;
    }

private:
    static void clearSetting()
    {
        QSettings(QStringLiteral("Corvane"), QStringLiteral("Sonabel")).remove(QStringLiteral("iTunesRecentDatabases"));
    }

    QTemporaryDir m_home;
    QByteArray m_savedHome;
};
