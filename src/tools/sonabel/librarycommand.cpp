#include "tools/sonabel/librarycommand.h"

#include "core/medialibrary/desktopmedialibrary.h"
#include "core/medialibrary/listmenucatalogue.h"
#include "core/medialibrary/vyitunessearchtool.h"
#include "tools/sonabel/commandparser.h"

#include <QTextStream>

namespace {

constexpr auto kUsage
    = "usage: sonabel library [--itunes FILE.xml]... list\n"
      "       sonabel library [--itunes FILE.xml]... search TEXT [--by All|Artist|Album|Composer|Song]\n";

const QStringList& searchMethods()
{
    static const QStringList methods { QStringLiteral("All"), QStringLiteral("Artist"), QStringLiteral("Album"),
        QStringLiteral("Composer"), QStringLiteral("Song") };
    return methods;
}

// The menu as the list shows it; without a library file, the music and videos folders'
// files walked now.
ListMenuContent buildMenu(const QStringList& libraryFiles)
{
    ListMenuCatalogue catalogue;
    if (!libraryFiles.isEmpty())
        catalogue.setLibraryFiles(libraryFiles);
    ListMenuContent content = catalogue.build();
    if (catalogue.hadLibraryFile())
        return content;
    DesktopMediaLibrary desktop;
    desktop.walkNow();
    catalogue.setDesktopLibrary(&desktop);
    return catalogue.build();
}

void printSection(QTextStream& out, const char* section, const QList<VyListMenuItem>& entries)
{
    for (const VyListMenuItem& entry : entries)
        out << section << '/' << entry.itemTitle << '\t' << entry.itemChild.size() << '\n';
}

} // namespace

int runLibrary(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    CommandParser command(QString::fromLatin1(kUsage));
    QCommandLineParser& parser = command.parser();
    const QCommandLineOption itunesOption(QStringLiteral("itunes"),
        QStringLiteral("A library file to read instead of the preference's (repeat for several; the last decides)."),
        QStringLiteral("FILE.xml"));
    const QCommandLineOption byOption(QStringLiteral("by"),
        QStringLiteral("What the search looks at: All (default), Artist, Album, Composer or Song."),
        QStringLiteral("METHOD"), QStringLiteral("All"));
    parser.addOptions({ itunesOption, byOption });
    parser.addPositionalArgument(QStringLiteral("ACTION"), QStringLiteral("list, or search TEXT."));
    if (const std::optional<int> status = command.parse(arguments, out, err))
        return *status;
    const QStringList args = parser.positionalArguments();
    const QString action = args.value(0);
    const bool list = action == u"list" && args.size() == 1 && !parser.isSet(byOption);
    const bool search = action == u"search" && args.size() == 2 && !args.at(1).isEmpty();
    if (!list && !search)
        return command.refuse(err);
    const QString method = parser.value(byOption);
    if (search && !searchMethods().contains(method))
        return command.refuse(err, QStringLiteral("unknown search method \"%1\"").arg(method));

    const ListMenuContent content = buildMenu(parser.values(itunesOption));
    if (list) {
        printSection(out, "LIBRARY", content.libraryItemList);
        printSection(out, "GENIUS", content.geniusItemList);
        printSection(out, "PLAYLISTS", content.playListsItemList);
        printSection(out, "CUSTOM", content.myMusicItemList);
        return 0;
    }
    VyiTunesSearchTool tool;
    tool.setMediaInfoArray(content.searchData);
    const VyListMenuItem found = tool.search(args.at(1), method);
    if (found.itemChild.size() == 1 && found.itemChild.first().path == kNoMatchingItems) {
        err << "sonabel: " << kNoMatchingItems << '\n';
        return 1;
    }
    for (const MediaItemInfo& item : found.itemChild)
        out << item.path << '\n';
    return 0;
}
