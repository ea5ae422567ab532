// The phone's ringtone database, as any phone (or a broken copy) may hold it: read, an
// entry added and one removed as a transfer and a delete do, written back, and the
// written file read again: it must hold exactly what was in memory, in the same form.

#include "core/phone/phoneringtonedatabase.h"
#include "fuzz/fuzzsupport.h"

#include <QFile>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::quietLogs();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::clearScratch();
    const QString path = fuzz::writeScratch(QStringLiteral("Ringtones.plist"), data, size);
    PhoneRingtoneDatabase database = PhoneRingtoneDatabase::load(path);
    const QString written = fuzz::scratchFolder() + QStringLiteral("/Written.plist");
    if (!database.writable()) {
        fuzz::check(database.state() == PhoneRingtoneDatabase::State::Unreadable, "only unreadable is unwritable");
        fuzz::check(!database.save(written), "an unreadable database is never written");
        return 0;
    }

    // Every entry as the manager lists it.
    QString firstFile;
    plistDictForEach(database.ringtones(), [&](const QString& fileName, plist_t entry) {
        // A key that is not UTF-8 has no QString naming it, so only keys that do are removed.
        if (firstFile.isEmpty() && plist_dict_get_item(database.ringtones(), fileName.toUtf8().constData()))
            firstFile = fileName;
        (void)plistDictString(entry, "Name");
        (void)plistDictString(entry, "GUID");
    });

    PhoneRingtoneDatabase::NewEntry entry;
    entry.name = QStringLiteral("Fuzzed Tone");
    entry.guid = QStringLiteral("0123456789ABCDEF");
    entry.totalTimeMs = 30000;
    entry.pid = -42;
    fuzz::check(database.addEntry(QStringLiteral("ZZZZ.m4r"), entry), "a readable database takes an entry");
    fuzz::check(!database.fileNameOf(entry.name).isEmpty(), "an added entry is found by its name");
    if (!firstFile.isEmpty() && firstFile != QStringLiteral("ZZZZ.m4r"))
        fuzz::check(database.removeEntry(firstFile), "a listed entry can be removed");

    QString error;
    if (!database.save(written, &error)) {
        // What the writer cannot keep whole is refused, and then nothing is written.
        fuzz::check(!error.isEmpty() && !QFile::exists(written), "a refused write says why and writes nothing");
        return 0;
    }
    const PhoneRingtoneDatabase back = PhoneRingtoneDatabase::load(written);
    fuzz::check(back.state() == PhoneRingtoneDatabase::State::Loaded, "the written database reads");
    fuzz::check(back.format() == database.format(), "the written database keeps its form");
    fuzz::check(plistio::equal(back.root(), database.root()), "the written database reads back equal");
    return 0;
}
