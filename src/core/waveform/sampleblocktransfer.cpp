#include "core/waveform/sampleblocktransfer.h"

#include "core/environment/editingstate.h"
#include "core/environment/logging.h"

#include <QFileInfo>
#include <QSaveFile>

#include <thread>

bool SampleBlockTransfer::writeBlockToFile(const SampleBlock& block, const QString& path)
{
    QSaveFile file(path);
    const bool ok = file.open(QIODevice::WriteOnly) && file.write(block.toArchive()) >= 0 && file.commit();
    if (ok)
        qCInfo(lcFiles) << "Transfer data to file finished..........successful";
    else
        qCWarning(lcFiles) << "Transfer data to file filed........error";
    return ok;
}

void SampleBlockTransfer::transferBlockToFile(std::shared_ptr<const SampleBlock> block, const QString& path)
{
    if (!block)
        return;
    std::thread([block = std::move(block), path] { writeBlockToFile(*block, path); }).detach();
}

QString SampleBlockTransfer::archivePathFor(const QString& sourcePath)
{
    return gloableState()._tempFolderPath + u'/' + QFileInfo(sourcePath).completeBaseName() + QStringLiteral(".plist");
}

void SampleBlockTransfer::transferSamplePointToFile(std::shared_ptr<const SampleBlock> block, const QString& sourcePath)
{
    transferBlockToFile(std::move(block), archivePathFor(sourcePath));
}
