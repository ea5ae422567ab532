// The manager's two lists with their lengths: 300 AAC ringtones on a simulated phone
// partition with its database, and 1000 in a computer folder.
//
//   ringtonelist_bench [benchmark flags]
//
// The ringtones are a few clips of the benchmarks' music (20-35 s)
// copied under distinct names; needs the ffmpeg command, and bindfs for the FUSE case.

#include "bench/musicfile.h"
#include "core/phone/phonemount.h"
#include "core/phone/phoneringtonedatabase.h"
#include "core/phone/vyringtoneiphonetransfor.h"
#include "core/ringtones/ringtonelisting.h"
#include "media/decoderlib.h"

#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

constexpr int kPhoneRingtones = 300;
constexpr int kFolderRingtones = 1000;

struct Stock {
    QTemporaryDir dir;
    QString mountPoint() const { return dir.path() + QStringLiteral("/phone/"); }
    QString folder() const { return dir.path() + QStringLiteral("/ringtones"); }
};
std::unique_ptr<Stock> g_stock;

bool makeClip(const QString& path, int seconds)
{
    return makeMusic(path, seconds,
        { QStringLiteral("-c:a"), QStringLiteral("aac"), QStringLiteral("-b:a"), QStringLiteral("128k"),
            QStringLiteral("-f"), QStringLiteral("ipod") });
}

bool stock()
{
    g_stock = std::make_unique<Stock>();
    const QString ringtones = g_stock->mountPoint() + QStringLiteral("iTunes_Control/Ringtones/");
    QDir().mkpath(ringtones);
    QDir().mkpath(g_stock->mountPoint() + QStringLiteral("iTunes_Control/iTunes"));
    QDir().mkpath(g_stock->folder());
    QStringList clips;
    for (const int seconds : { 20, 28, 35 }) {
        clips.append(g_stock->dir.path() + QStringLiteral("/clip%1.m4r").arg(seconds));
        if (!makeClip(clips.back(), seconds))
            return false;
    }

    PhoneRingtoneDatabase database
        = PhoneRingtoneDatabase::load(g_stock->mountPoint() + QStringLiteral("iTunes_Control/iTunes/Ringtones.plist"));
    for (int i = 0; i < kPhoneRingtones; ++i) {
        const QString file = QStringLiteral("R%1.m4r").arg(i, 4, 10, QLatin1Char('0'));
        if (!QFile::copy(clips[i % clips.size()], ringtones + file))
            return false;
        database.addEntry(file,
            { QStringLiteral("Ringtone %1").arg(i), QStringLiteral("%1").arg(i, 16, 10, QLatin1Char('0')), 0, i + 1 });
    }
    if (!database.save(g_stock->mountPoint() + QStringLiteral("iTunes_Control/iTunes/Ringtones.plist")))
        return false;
    for (int i = 0; i < kFolderRingtones; ++i)
        if (!QFile::copy(clips[i % clips.size()], g_stock->folder() + QStringLiteral("/Tone %1.m4r").arg(i)))
            return false;
    return true;
}

// Lists the phone at `mountPoint` as often as the benchmark asks.
void listPhoneAt(benchmark::State& state, const QString& mountPoint)
{
    VyRingtoneiPhoneTransfor link(mountPoint);
    link.HandleDeviceConnected();
    qsizetype listed = 0;
    for (auto _ : state) {
        const auto ringtones = RingtoneListing::listPhone(link);
        listed = ringtones ? ringtones->size() : -1;
        benchmark::DoNotOptimize(listed);
    }
    state.counters["ringtones"] = static_cast<double>(listed);
}

void BM_ListPhone(benchmark::State& state)
{
    listPhoneAt(state, g_stock->mountPoint());
}
BENCHMARK(BM_ListPhone)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same partition behind a FUSE file system, as the phone link serves it: every open
// and read goes through a user-space daemon.
void BM_ListPhoneThroughFuse(benchmark::State& state)
{
    const QString mount = g_stock->dir.path() + QStringLiteral("/fuse");
    QDir().mkpath(mount);
    if (QProcess::execute(QStringLiteral("bindfs"), { g_stock->mountPoint(), mount }) != 0) {
        state.SkipWithError("bindfs cannot mount here");
        return;
    }
    listPhoneAt(state, mount);
    PhoneMount::unmount(mount);
}
BENCHMARK(BM_ListPhoneThroughFuse)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ListFolder(benchmark::State& state)
{
    qsizetype listed = 0;
    for (auto _ : state) {
        listed = RingtoneListing::listFolders({ g_stock->folder() }).size();
        benchmark::DoNotOptimize(listed);
    }
    state.counters["ringtones"] = static_cast<double>(listed);
}
BENCHMARK(BM_ListFolder)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    DecMgrInit();
    QLoggingCategory::setFilterRules(QStringLiteral("sonabel.phone.info=false"));
    if (!stock()) {
        std::fprintf(stderr, "cannot make the ringtones (is ffmpeg installed?)\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_stock.reset();
    return 0;
}
