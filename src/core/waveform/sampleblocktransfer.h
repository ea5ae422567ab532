#pragma once
// Writes a waveform block's archive to a file on a background thread.

#include "core/waveform/sampleblock.h"

#include <QString>

#include <memory>

class SampleBlockTransfer {
public:
    // Writes `block` to `path` (through a temporary name) on a detached thread and
    // logs the outcome. The block is shared, so the caller may drop its copy at once.
    static void transferBlockToFile(std::shared_ptr<const SampleBlock> block, const QString& path);

    // The same, synchronously; true when the file was written.
    static bool writeBlockToFile(const SampleBlock& block, const QString& path);

    // Archives `block` into the temporary folder as "<source name without folder and
    // extension>.plist", in the background.
    static void transferSamplePointToFile(std::shared_ptr<const SampleBlock> block, const QString& sourcePath);

    // Where transferSamplePointToFile puts the archive for `sourcePath`.
    [[nodiscard]] static QString archivePathFor(const QString& sourcePath);
};
