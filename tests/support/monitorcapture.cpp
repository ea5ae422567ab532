#include "support/monitorcapture.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSource>
#include <QBuffer>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QMediaDevices>
#include <QThread>

#include <cmath>
#include <cstring>

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
    const qsizetype total = pcm.size() / 4;
    const qsizetype end = std::min(total, fromFrame + frames);
    double energy = 0.0;
    qsizetype n = 0;
    for (qsizetype i = std::max<qsizetype>(0, fromFrame); i < end; ++i, ++n) {
        int16_t s = 0;
        std::memcpy(&s, pcm.constData() + i * 4, 2);
        energy += static_cast<double>(s) * s;
    }
    return n > 0 ? std::sqrt(energy / static_cast<double>(n)) : 0.0;
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
