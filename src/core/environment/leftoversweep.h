#pragma once
// At start-up, removes the temporary names (TemporaryNames) that a write cut off by a crash
// or a kill left in the folders this program writes into by itself: the ringtone library's
// ringtone folders and the music folders. Folders the user picks (a Save As target, say)
// are never swept: a hidden file there is none of our business.

#include <QStringList>

namespace LeftoverSweep {

// The library's two possible ringtone folders, the music folder and its Recorder and
// GrooveBox folders.
[[nodiscard]] QStringList launchFolders();

// Sweeps launchFolders(); the removed paths.
QStringList atLaunch();

} // namespace LeftoverSweep
