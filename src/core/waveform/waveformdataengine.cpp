#include "core/waveform/waveformdataengine.h"

#include "core/environment/editingstate.h"
#include "core/environment/logging.h"
#include "media/decoderlib.h"
#include "media/vyrtmediafiledecoder.h"

#include <QFile>

#include <cstring>

bool WaveformDataEngine::prepare(int bitsPerSample, int sampleRate, float drawHeight)
{
    m_drawViewHeight = drawHeight;
    m_dy = drawHeight / static_cast<float>((int64_t {1} << bitsPerSample) - 1);
    m_canReachPeakValue = static_cast<int32_t>((int64_t {1} << (bitsPerSample - 1)) - 1);
    m_sampleClearance = sampleRate / EditingState::pointCountPerSecond;
    m_sampleRate = sampleRate;
    m_nextPick = 0;
    m_consumed = 0;
    m_lastPickPosition = 0;
    return m_sampleClearance > 0;
}

int64_t WaveformDataEngine::pickPosition(int64_t k, int blockAlign, int bytesPerSample, int channels) const
{
    const int64_t frame = k * m_sampleRate / EditingState::pointCountPerSecond;
    const int64_t channel = (k * (channels - 1)) % channels;
    return frame * blockAlign + channel * bytesPerSample;
}

void WaveformDataEngine::getSampleArray(const MEDIA_FRAME* frame, int size, SampleBlock& block)
{
    const int channels = frame->audio.channels;
    const int bits = frame->audio.bitsPerSample;
    const int bytesPerSample = bits / 8;
    if (channels <= 0 || bytesPerSample <= 0 || m_sampleRate <= 0 || size <= 0)
        return;
    const int blockAlign = channels * bytesPerSample;
    const uint8_t* data = frame->audio.data;
    const int64_t bufferStart = m_consumed;
    const int64_t bufferEnd = bufferStart + size;
    const double midHeight = static_cast<double>(m_drawViewHeight) / 2.0;
    std::atomic<double>& pointClearance = gloableState()._pointClearance;

    auto& points = block.sampleBlk();
    for (int64_t pos = pickPosition(m_nextPick, blockAlign, bytesPerSample, channels);
         pos + bytesPerSample <= bufferEnd; pos = pickPosition(m_nextPick, blockAlign, bytesPerSample, channels)) {
        const uint8_t* sample = data + (pos - bufferStart);
        int32_t value = 0;
        if (bits == 16) {
            int16_t v = 0;
            std::memcpy(&v, sample, sizeof v); // little-endian, possibly unaligned
            value = v;
        } else {
            value = *sample;
        }
        const float y = m_dy * static_cast<float>(m_canReachPeakValue + value);
        // x is one step per point kept, so a skipped point shifts the later ones left.
        const auto x = static_cast<float>(pointClearance.load(std::memory_order_relaxed)
                                          * static_cast<double>(points.size()));
        if (static_cast<double>(y) != midHeight)
            points.push_back(SamplePoint {{x, y}});
        m_lastPickPosition = pos;
        ++m_nextPick;
    }
    m_consumed = bufferEnd;
}

std::optional<SampleBlock> WaveformDataEngine::getWaveformPointsFromFile(const QString& path, float viewHeight,
                                                                          float rulerHeight)
{
    SampleBlock block;
    VyRTMediaFileDecoder decoder(QFile::encodeName(path).toStdString(), VyRTMediaFileDecoder::AudioOnly);
    const VyAudioInfo* info = decoder.getAudioInfo();
    if (info == nullptr)
        return block;
    if (!prepare(info->bitsPerSample, info->sampleRate, viewHeight - rulerHeight)) {
        qCWarning(lcMedia) << "no usable audio: a sample rate of" << info->sampleRate << "Hz is below one sample a point";
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
    block.setCapability(static_cast<double>(block.sampleBlk().size()));
    return block;
}
