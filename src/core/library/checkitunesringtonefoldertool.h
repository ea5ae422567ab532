#pragma once
// Finds the desktop library's ringtone folder for the lists that show its ringtones.

#include <QString>
#include <QStringList>

#include <functional>

class CheckiTunesRingtoneFolderTool {
public:
    // Called when no ringtone folder exists and none can be made; the window layer shows
    // "The main interface can not activate!" and quits.
    using ActivationFailure = std::function<void()>;

    explicit CheckiTunesRingtoneFolderTool(ActivationFailure onFailure = {});

    // Makes the ringtone folder when the library has none; false (after calling the
    // failure handler) when that is impossible.
    bool checkiTunesSetting();
    // The existing ones of "iTunes Music/Ringtones" and "iTunes Media/Ringtones", in order.
    QStringList defaultMediaFolder();
    // Adds the bundled probe ringtone under the title "RingtoneTest".
    void uploadFile();
    // uploadFile(), then the ringtone folders that now hold the probe.
    QStringList deepCheckFolder();

    static constexpr auto kProbeTitle = "RingtoneTest";

private:
    ActivationFailure m_onFailure;
};
