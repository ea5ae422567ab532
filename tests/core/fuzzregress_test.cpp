// Inputs the fuzz targets (fuzz/) found mishandled, kept as cases of the ordinary suite.
// Each input lives in tests/fixtures/fuzz/TARGET/ (scripts/fuzz.sh also starts its corpus
// from there); each table holds the inputs of one reader with what it must do with them.

#include "core/phone/phonetestsupport.h"
#include "core/phone/vyringtoneiphonetransfor.h"

#include <gtest/gtest.h>

namespace {

struct FuzzInput {
    const char* file; // under tests/fixtures/fuzz/
    const char* what; // what it exercised
};

void PrintTo(const FuzzInput& input, std::ostream* os)
{
    *os << input.file;
}

QByteArray fuzzInput(const char* file)
{
    const QByteArray bytes
        = readBytes(QStringLiteral(SONABEL_SOURCE_DIR "/tests/fixtures/fuzz/") + QLatin1String(file));
    EXPECT_FALSE(bytes.isEmpty()) << file;
    return bytes;
}

// Phone databases: a transfer either registers its ringtone with every earlier entry kept
// as it was, or leaves the database byte for byte as it found it and says why.
class PhoneDatabaseFinding : public testing::TestWithParam<FuzzInput> { };

TEST_P(PhoneDatabaseFinding, ATransferKeepsEveryEntryOrWritesNothing)
{
    PhonePartitionFixture phone;
    const QByteArray before = fuzzInput(GetParam().file);
    writeBytes(phone.databasePath(), before);
    const PlistPtr earlier = plistio::parse(before);

    VyRingtoneiPhoneTransfor store(phone.mountPoint());
    const PhoneTransferResult result = store.transferRingtone(phone.makeLocalFile(QStringLiteral("New Tone.m4r")));
    if (!result.registered) {
        EXPECT_FALSE(result.error.isEmpty());
        EXPECT_EQ(readBytes(phone.databasePath()), before);
        return;
    }
    // The database read back is what was there, with the one entry added.
    const PlistPtr after = phone.readDatabase();
    const QByteArray key = result.phoneName.toUtf8();
    plist_t added = plist_dict_get_item(plist_dict_get_item(after.get(), "Ringtones"), key.constData());
    ASSERT_NE(added, nullptr);
    const PlistPtr expected(plist_copy(earlier.get()));
    plist_t ringtones = plist_dict_get_item(expected.get(), "Ringtones");
    if (ringtones == nullptr || plist_get_node_type(ringtones) != PLIST_DICT) {
        plist_dict_set_item(expected.get(), "Ringtones", plist_new_dict());
        ringtones = plist_dict_get_item(expected.get(), "Ringtones");
    }
    plist_dict_set_item(ringtones, key.constData(), plist_copy(added));
    EXPECT_TRUE(plistio::equal(after.get(), expected.get()));
}

const FuzzInput kPhoneDatabases[] = {
    // A binary database whose "Ringtones" key holds a byte that is not UTF-8: libplist's
    // binary writer cut the key at that byte, which would have dropped every entry.
    { "phonedatabase/binary-key-not-utf8.plist", "a key the binary writer cannot encode" },
    // A binary database with a NUL byte inside an entry's key: libplist's key accessor
    // asserts on it, so listing the entries ended the program.
    { "phonedatabase/binary-key-with-nul.plist", "a key libplist cannot hand out" },
};
INSTANTIATE_TEST_SUITE_P(Fuzz, PhoneDatabaseFinding, testing::ValuesIn(kPhoneDatabases));

} // namespace
