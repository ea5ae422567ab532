#include "core/library/checkitunesringtonefoldertool.h"

#include "core/library/librarybridge.h"
#include "core/library/vysynctoitunes.h"

#include <QFileInfo>

namespace {

const QString kProbeResource = QStringLiteral(":/SampleForCheck.m4r");

QStringList existing(const QStringList& folders)
{
    QStringList found;
    for (const QString& folder : folders)
        if (QFileInfo(folder).isDir())
            found.append(folder);
    return found;
}

} // namespace

CheckiTunesRingtoneFolderTool::CheckiTunesRingtoneFolderTool(ActivationFailure onFailure)
    : m_onFailure(std::move(onFailure))
{
}

bool CheckiTunesRingtoneFolderTool::checkiTunesSetting()
{
    if (!LibraryBridge::ringtoneFolder(true).isEmpty())
        return true;
    if (m_onFailure)
        m_onFailure();
    return false;
}

QStringList CheckiTunesRingtoneFolderTool::defaultMediaFolder()
{
    if (!checkiTunesSetting())
        return {};
    return existing({ LibraryBridge::musicRingtoneFolder(), LibraryBridge::mediaRingtoneFolder() });
}

void CheckiTunesRingtoneFolderTool::uploadFile()
{
    VySyncToITunes().addFileToiTunesLibrary({ kProbeResource }, { QString::fromLatin1(kProbeTitle) }, false);
}

QStringList CheckiTunesRingtoneFolderTool::deepCheckFolder()
{
    uploadFile();
    // The probe is stored under its title, so that is the name to look for.
    const QString probe = QStringLiteral("/%1.m4r").arg(QString::fromLatin1(kProbeTitle));
    QStringList found;
    for (const QString& folder : { LibraryBridge::musicRingtoneFolder(), LibraryBridge::mediaRingtoneFolder() })
        if (QFileInfo::exists(folder + probe))
            found.append(folder);
    return found;
}
