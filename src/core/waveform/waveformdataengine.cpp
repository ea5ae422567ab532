#include "core/waveform/waveformdataengine.h"

#include "core/environment/editingstate.h"
#include "core/environment/logging.h"
#include "core/waveform/peakscan.h"
#include "media/decoderlib.h"
#include "media/vyrtmediafiledecoder.h"

#include <QFile>

#include <algorithm>

bool WaveformDataEngine::prepare(int bitsPerSample, int sampleRate, float drawHeight)
{
    m_drawViewHeight = drawHeight;
    m_dy = drawHeight / static_cast<float>((int64_t { 1 } << bitsPerSample) - 1);
    m_canReachPeakValue = static_cast<int32_t>((int64_t { 1 } << (bitsPerSample - 1)) - 1);
    m_sampleClearance = sampleRate / EditingState::pointCountPerSecond;
    m_sampleRate = sampleRate;
    m_point = 0;
    m_position = 0;
    m_peakSize = -1;
    return m_sampleClearance > 0;
}

int64_t WaveformDataEngine::sliceStart(int64_t k) const
{
    return k * m_sampleRate / EditingState::pointCountPerSecond;
}

void WaveformDataEngine::appendPoint(SampleBlock& block)
{
    auto& points = block.sampleBlk();
    const float y = m_dy * static_cast<float>(m_canReachPeakValue + m_peak);
    // x is one step per point kept, so a skipped point shifts the later ones left.
    const auto x = static_cast<float>(
        gloableState()._pointClearance.load(std::memory_order_relaxed) * static_cast<double>(points.size()));
    if (static_cast<double>(y) != static_cast<double>(m_drawViewHeight) / 2.0)
        points.push_back(SamplePoint { { x, y } });
    ++m_point;
    m_peakSize = -1;
}

void WaveformDataEngine::getSampleArray(const MEDIA_FRAME* frame, int size, SampleBlock& block)
{
    const int channels = frame->audio.channels;
    const int bytesPerSample = frame->audio.bitsPerSample / 8;
    if (channels <= 0 || bytesPerSample <= 0 || m_sampleRate <= 0 || size <= 0)
        return;
    const uint8_t* data = frame->audio.data;
    const int64_t count = size / bytesPerSample;
    for (int64_t i = 0; i < count;) {
        const int64_t sliceEnd = sliceStart(m_point + 1) * channels;
        const int64_t take = std::min(count - i, sliceEnd - m_position);
        if (take > 0) {
            int32_t peak = 0;
            int32_t peakSize = 0;
            peakscan::peakOf(data + i * bytesPerSample, take, bytesPerSample, peak, peakSize);
            if (peakSize > m_peakSize) {
                m_peak = peak;
                m_peakSize = peakSize;
            }
            i += take;
            m_position += take;
        }
        if (m_position >= sliceEnd)
            appendPoint(block);
    }
}

void WaveformDataEngine::finish(SampleBlock& block)
{
    if (m_peakSize >= 0)
        appendPoint(block);
}

std::optional<SampleBlock> WaveformDataEngine::getWaveformPointsFromFile(
    const QString& path, float viewHeight, float rulerHeight)
{
    SampleBlock block;
    VyRTMediaFileDecoder decoder(QFile::encodeName(path).toStdString(), VyRTMediaFileDecoder::AudioOnly);
    const VyAudioInfo* info = decoder.getAudioInfo();
    if (info == nullptr)
        return block;
    if (!prepare(info->bitsPerSample, info->sampleRate, viewHeight - rulerHeight)) {
        qCWarning(lcMedia) << "no usable audio: a sample rate of" << info->sampleRate
                           << "Hz is below one sample a point";
        return block;
    }
    // One allocation for the whole file rather than a growing array.
    if (info->duration > 0.0 && info->duration < 24 * 3600.0)
        block.sampleBlk().reserve(static_cast<size_t>(info->duration * EditingState::pointCountPerSecond) + 16);
    decoder.audioSeek(0.0);
    while (const MEDIA_FRAME* frame = decoder.getNextAudioFrame()) {
        if (frame->audio.dataSize == 0)
            break;
        if (stopRequested())
            return std::nullopt; // the decoder goes with `decoder`
        getSampleArray(frame, frame->audio.dataSize, block);
    }
    finish(block);
    block.setCapability(static_cast<double>(block.sampleBlk().size()));
    return block;
}
