// The waveform point archive kept beside a file's waveform: read, and when it reads,
// written and read again to the same points.

#include "core/waveform/sampleblock.h"
#include "fuzz/fuzzsupport.h"

#include <cmath>
#include <optional>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::quietLogs();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray archive(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::optional<SampleBlock> block = SampleBlock::fromArchive(archive);
    if (!block)
        return 0;
    fuzz::check(block->sampleBlk().size() >= size_t(block->capability()), "at least Capability points");
    const std::optional<SampleBlock> again = SampleBlock::fromArchive(block->toArchive());
    fuzz::check(again.has_value(), "a written archive reads");
    fuzz::check(again->capability() == block->capability(), "the written archive keeps its count");
    fuzz::check(again->sampleBlk().size() == block->sampleBlk().size(), "the written archive keeps its points");
    for (size_t i = 0; i < block->sampleBlk().size(); ++i) {
        const WaveformPoint& a = block->sampleBlk()[i].cgSampPoint;
        const WaveformPoint& b = again->sampleBlk()[i].cgSampPoint;
        const auto same = [](float x, float y) { return x == y || (std::isnan(x) && std::isnan(y)); };
        fuzz::check(same(a.x, b.x) && same(a.y, b.y), "the written archive keeps every point");
    }
    (void)block->toWaveformPoints();
    return 0;
}
