// The desktop music library file: read alone and merged with itself, and turned into the
// music and the video lists the library panel shows.

#include "core/medialibrary/imbitunesparser.h"
#include "fuzz/fuzzsupport.h"

namespace {

// Touches every node and its tracks the way the panel walks them; counts the nodes.
int walk(const iMBLibraryNode::Ptr& node, const QString& tracksKey, int depth = 0)
{
    fuzz::check(depth < 10000, "the library tree ends");
    int count = 1;
    (void)node->identifier();
    const QVariantList tracks = node->attribute(tracksKey).toList();
    for (const QVariant& track : tracks)
        (void)track.toMap().value(QStringLiteral("Preview")).toString();
    for (qsizetype i = 0; i < node->countOfItems(); ++i) {
        const iMBLibraryNode::Ptr child = node->objectInItemsAtIndex(i);
        fuzz::check(child != nullptr, "every counted item exists");
        count += walk(child, tracksKey, depth + 1);
    }
    return count;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::quietLogs();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString path = fuzz::writeScratch(QStringLiteral("iTunes Music Library.xml"), data, size);
    const iTunesLibraryDocument document({ path });
    iMBiTunesMusicParser music;
    iMBiTunesVideoParser video;
    if (const iMBLibraryNode::Ptr root = music.parseDocument(document))
        (void)walk(root, QStringLiteral("Tracks"));
    if (const iMBLibraryNode::Ptr root = video.parseDocument(document))
        (void)walk(root, QStringLiteral("Movies"));

    // Two library files: the later one's lists replace the earlier one's.
    const iTunesLibraryDocument twice({ path, path });
    fuzz::check(twice.isEmpty() == document.isEmpty(), "a file merged with itself is as empty as alone");
    fuzz::check(twice.version() == document.version(), "a file merged with itself keeps its version");
    (void)music.parseDocument(twice);
    return 0;
}
