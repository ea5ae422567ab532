#include "audio/micphonerecorder.h"

struct MicPhoneRecorder::Impl { };

MicPhoneRecorder::MicPhoneRecorder(const QString&, QObject* parent)
    : QObject(parent)
    , d(std::make_unique<Impl>())
{
}
MicPhoneRecorder::~MicPhoneRecorder() = default;
int MicPhoneRecorder::chkHasMic()
{
    return -1;
}
QList<QAudioDevice> MicPhoneRecorder::audioDevices()
{
    return {};
}
void MicPhoneRecorder::refreshDevices()
{
}
std::optional<QAudioDevice> MicPhoneRecorder::selectedAudioDevice() const
{
    return std::nullopt;
}
void MicPhoneRecorder::setSelectedAudioDevice(const std::optional<QAudioDevice>&)
{
}
bool MicPhoneRecorder::hasRecordingDevice() const
{
    return false;
}
bool MicPhoneRecorder::isRecording() const
{
    return false;
}
void MicPhoneRecorder::setRecording(bool)
{
}
void MicPhoneRecorder::startRunning()
{
}
void MicPhoneRecorder::stopSession()
{
}
bool MicPhoneRecorder::isRunning() const
{
    return false;
}
double MicPhoneRecorder::getAudioLevels() const
{
    return 0.0;
}
QString MicPhoneRecorder::getLength() const
{
    return QStringLiteral("00:00:00.00");
}
