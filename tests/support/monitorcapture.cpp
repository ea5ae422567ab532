#include "support/monitorcapture.h"

#include "support/fixtures.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSource>
#include <QBuffer>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QMediaDevices>
#include <QThread>

#include <algorithm>
#include <cmath>

MonitorCapture::MonitorCapture()
    : m_buffer(std::make_unique<QBuffer>())
{
    QAudioFormat format;
    format.setSampleRate(44100);
    format.setChannelCount(2);
    format.setSampleFormat(QAudioFormat::Int16);
    const QAudioDevice input = QMediaDevices::defaultAudioInput();
    if (input.isNull())
        return;
    m_buffer->open(QIODevice::ReadWrite);
    m_source = std::make_unique<QAudioSource>(input, format);
    m_source->start(m_buffer.get());
}

MonitorCapture::~MonitorCapture()
{
    if (m_source)
        m_source->stop();
}

bool MonitorCapture::isListening() const
{
    return m_source && m_source->error() == QAudio::NoError;
}

bool MonitorCapture::waitFor(const std::function<bool()>& done, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
    return true;
}

void MonitorCapture::listenFor(int ms)
{
    waitFor([] { return false; }, ms);
}

void MonitorCapture::clear()
{
    m_buffer->buffer().clear();
    m_buffer->seek(0);
}

QByteArray MonitorCapture::captured() const
{
    return m_buffer->buffer();
}

double MonitorCapture::rms(const QByteArray& pcm, qsizetype fromFrame, qsizetype frames)
{
    const qsizetype first = std::clamp<qsizetype>(fromFrame, 0, pcm.size() / 4);
    const qsizetype end = std::clamp<qsizetype>(fromFrame + frames, first, pcm.size() / 4);
    // 44.1 kHz stereo: the left channel, in sample units.
    return 32768.0
        * fixtures::rms(
            reinterpret_cast<const int16_t*>(pcm.constData()) + first * 2, static_cast<size_t>(end - first), 2, 0);
}

double MonitorCapture::rms() const
{
    const QByteArray pcm = captured();
    return rms(pcm, 0, pcm.size() / 4);
}

double MonitorCapture::seconds() const
{
    return static_cast<double>(m_buffer->buffer().size()) / (44100.0 * 4);
}

std::vector<int> MonitorCapture::runsMs(const QByteArray& pcm, double silenceDb)
{
    std::vector<int> runs { 0 };
    bool sound = false;
    const qsizetype frames = pcm.size() / 4;
    for (qsizetype ms = 0;; ++ms) {
        const auto from = static_cast<qsizetype>(ms * 44.1);
        const auto to = static_cast<qsizetype>((ms + 1) * 44.1);
        if (to > frames)
            break;
        const bool loud = fixtures::toDb(rms(pcm, from, to - from) / 32768.0) > silenceDb;
        if (loud != sound) {
            runs.push_back(0);
            sound = loud;
        }
        ++runs.back();
    }
    return runs;
}

double MonitorCapture::levelDb(const QByteArray& pcm, double fromMs, double ms)
{
    return fixtures::toDb(rms(pcm, static_cast<qsizetype>(fromMs * 44.1), static_cast<qsizetype>(ms * 44.1)) / 32768.0);
}

double MonitorCapture::fadeEdgeMs(const QByteArray& pcm, double nearMs, double ms, bool fadeIn)
{
    // A linear fade's level grows in proportion to the distance from its silent end: fit a
    // line through the levels of 5 ms steps and take where it reaches zero.
    constexpr double kStepMs = 5.0;
    double sumX = 0.0, sumY = 0.0, sumXX = 0.0, sumXY = 0.0;
    int n = 0;
    for (double x = 0.0; x + kStepMs <= ms; x += kStepMs, ++n) {
        const double at = fadeIn ? nearMs + x : nearMs - x - kStepMs;
        const double y = rms(pcm, static_cast<qsizetype>(at * 44.1), static_cast<qsizetype>(kStepMs * 44.1));
        const double centre = at + kStepMs / 2.0;
        sumX += centre;
        sumY += y;
        sumXX += centre * centre;
        sumXY += centre * y;
    }
    const double slope = (n * sumXY - sumX * sumY) / (n * sumXX - sumX * sumX);
    const double offset = (sumY - slope * sumX) / n;
    return slope != 0.0 ? -offset / slope : nearMs;
}
