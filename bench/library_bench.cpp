// The library list's menu over a large desktop library: 20,000 tracks with the keys a
// real library carries (about 30 MB of XML) in 20 playlists besides the music list.
//
//   library_bench [benchmark flags]
//
// FirstParse reads the file as a fresh catalogue must; CachedBuild is a rebuild of the
// menu (as after every recording) once the file was read.

#include "core/medialibrary/listmenucatalogue.h"
#include "tests/support/itunesxml.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kTracks = 20000;
constexpr int kPlaylists = 20;

struct Stock {
    QTemporaryDir home;
    QString library() const { return home.path() + QStringLiteral("/iTunes Library.xml"); }
};
std::unique_ptr<Stock> g_stock;

void stock()
{
    g_stock = std::make_unique<Stock>();
    qputenv("HOME", g_stock->home.path().toUtf8());
    itunesxml::Library lib;
    QList<int> all;
    for (int id = 1; id <= kTracks; ++id) {
        const QString name = QStringLiteral("Track %1 of the long library").arg(id);
        auto track = itunesxml::track(id, name,
            QStringLiteral("/home/ann/Music/iTunes/iTunes Media/Music/Artist %1/Album %2/%3 %4.m4a")
                .arg(id % 500)
                .arg(id % 2000)
                .arg(id)
                .arg(name));
        track.artist = QStringLiteral("Artist %1").arg(id % 500);
        track.album = QStringLiteral("Album %1").arg(id % 2000);
        if (id % 3 == 0)
            track.composer = QStringLiteral("Composer %1").arg(id % 300);
        track.hasVideo = id % 50 == 0;
        // The keys a real library adds to every track.
        for (const char* key : { "Genre", "Kind", "Size", "Total Time", "Disc Number", "Disc Count", "Track Number",
                 "Track Count", "Year", "Date Added", "Persistent ID" })
            track.extra.append({ QString::fromLatin1(key),
                QStringLiteral("value of %1 for track %2").arg(QLatin1String(key)).arg(id) });
        lib.tracks.append(track);
        all.append(id);
    }
    lib.playlists.append(itunesxml::playlist(QStringLiteral("Library"), all, { QStringLiteral("Master") }));
    lib.playlists.append(itunesxml::playlist(QStringLiteral("Music"), all, { QStringLiteral("Music") }));
    lib.playlists.append(itunesxml::playlist(QStringLiteral("Movies"), all, { QStringLiteral("Movies") }));
    for (int p = 0; p < kPlaylists; ++p) {
        QList<int> some;
        for (int id = 1 + p; id <= kTracks; id += kPlaylists * 2)
            some.append(id);
        auto list = itunesxml::playlist(QStringLiteral("Playlist %1").arg(p), some);
        list.smart = p % 4 == 0;
        lib.playlists.append(list);
    }
    lib.write(g_stock->library());
}

void BM_FirstParse(benchmark::State& state)
{
    for (auto _ : state) {
        ListMenuCatalogue catalogue;
        catalogue.setLibraryFiles(QStringList { g_stock->library() });
        benchmark::DoNotOptimize(catalogue.build());
    }
    state.counters["MB"] = static_cast<double>(QFileInfo(g_stock->library()).size()) / 1e6;
}
BENCHMARK(BM_FirstParse)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_CachedBuild(benchmark::State& state)
{
    ListMenuCatalogue catalogue;
    catalogue.setLibraryFiles(QStringList { g_stock->library() });
    const ListMenuContent first = catalogue.build();
    for (auto _ : state)
        benchmark::DoNotOptimize(catalogue.build());
    state.counters["searchable"] = static_cast<double>(first.searchData.size());
    state.counters["parses"] = catalogue.parseCount();
}
BENCHMARK(BM_CachedBuild)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    stock();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_stock.reset();
    return 0;
}
