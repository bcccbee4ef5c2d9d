// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/wave_source.h"

#include <QtEndian>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace karvex::platform {

namespace {

constexpr int kFormatPcm = 1;
constexpr int kFormatFloat = 3;
constexpr int kFormatALaw = 6;
constexpr int kFormatMuLaw = 7;
constexpr int kFormatExtensible = 0xFFFE;
constexpr int kMaxChannels = 32;
constexpr int kMaxRate = 768000;
// Chunks looked at before giving up: a hostile file of millions of tiny chunks stays cheap.
constexpr int kMaxChunks = 4096;

struct FormatChunk {
    int code = 0;
    int channels = 0;
    int rate = 0;
    int bits = 0;
};

FormatChunk ReadFormatChunk(const QByteArray& bytes) {
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData());
    FormatChunk chunk;
    chunk.code = qFromLittleEndian<quint16>(p);
    chunk.channels = qFromLittleEndian<quint16>(p + 2);
    chunk.rate =
        static_cast<int>(std::min<quint32>(qFromLittleEndian<quint32>(p + 4), kMaxRate + 1));
    chunk.bits = qFromLittleEndian<quint16>(p + 14);
    if (chunk.code == kFormatExtensible && bytes.size() >= 26)
        chunk.code = qFromLittleEndian<quint16>(p + 24);  // the sub-format GUID's first field
    return chunk;
}

// The output format and the conversion for one "fmt " chunk; nothing when it cannot play.
std::optional<WaveLayout> LayoutOf(const FormatChunk& chunk) {
    if (chunk.channels < 1 || chunk.channels > kMaxChannels || chunk.rate < 1 ||
        chunk.rate > kMaxRate)
        return std::nullopt;
    WaveLayout layout;
    QAudioFormat::SampleFormat sample = QAudioFormat::Unknown;
    using Encoding = WaveLayout::Encoding;
    const int bytes = (chunk.bits + 7) / 8;
    if (chunk.code == kFormatPcm && bytes >= 1 && bytes <= 4) {
        static constexpr QAudioFormat::SampleFormat kPcm[] = {
            QAudioFormat::UInt8, QAudioFormat::Int16, QAudioFormat::Int32, QAudioFormat::Int32};
        sample = kPcm[bytes - 1];
        layout.encoding = bytes == 3 ? Encoding::kPcm24 : Encoding::kAsIs;
    } else if (chunk.code == kFormatFloat && (bytes == 4 || bytes == 8)) {
        sample = QAudioFormat::Float;
        layout.encoding = bytes == 8 ? Encoding::kFloat64 : Encoding::kAsIs;
    } else if ((chunk.code == kFormatALaw || chunk.code == kFormatMuLaw) && bytes == 1) {
        sample = QAudioFormat::Int16;
        layout.encoding = chunk.code == kFormatALaw ? Encoding::kALaw : Encoding::kMuLaw;
    } else {
        return std::nullopt;
    }
    layout.format.setSampleFormat(sample);
    layout.format.setChannelCount(chunk.channels);
    layout.format.setSampleRate(chunk.rate);
    layout.frameBytes = bytes * chunk.channels;
    return layout;
}

std::int16_t ExpandALaw(unsigned char a) {
    a ^= 0x55;
    int t = (a & 0x0F) << 4;
    const int segment = (a & 0x70) >> 4;
    t += segment == 0 ? 8 : 0x108;
    if (segment > 1)
        t <<= segment - 1;
    return static_cast<std::int16_t>((a & 0x80) ? t : -t);
}

std::int16_t ExpandMuLaw(unsigned char u) {
    u = static_cast<unsigned char>(~u);
    int t = (((u & 0x0F) << 3) + 0x84) << ((u & 0x70) >> 4);
    return static_cast<std::int16_t>((u & 0x80) ? 0x84 - t : t - 0x84);
}

// Converts `samples` samples of `in` into the output's format at `out`.
void Convert(WaveLayout::Encoding encoding, const unsigned char* in, qint64 samples, char* out) {
    using Encoding = WaveLayout::Encoding;
    for (qint64 i = 0; i < samples; ++i) {
        if (encoding == Encoding::kPcm24) {
            const quint32 wide = (quint32{in[3 * i]} << 8) | (quint32{in[3 * i + 1]} << 16) |
                                 (quint32{in[3 * i + 2]} << 24);
            qToLittleEndian(wide, out + 4 * i);
        } else if (encoding == Encoding::kFloat64) {
            const float narrow = static_cast<float>(qFromLittleEndian<double>(in + 8 * i));
            std::memcpy(out + 4 * i, &narrow, 4);
        } else {
            const std::int16_t wide =
                encoding == Encoding::kALaw ? ExpandALaw(in[i]) : ExpandMuLaw(in[i]);
            qToLittleEndian(wide, out + 2 * i);
        }
    }
}

}  // namespace

std::optional<WaveLayout> ReadWaveLayout(QIODevice& file) {
    const qint64 size = file.size();
    const QByteArray riff = file.read(12);
    if (riff.size() < 12 || !riff.startsWith("RIFF") || riff.mid(8) != "WAVE")
        return std::nullopt;
    std::optional<FormatChunk> format;
    qint64 dataOffset = -1;
    qint64 dataBytes = 0;
    qint64 at = 12;
    for (int chunks = 0; chunks < kMaxChunks && at + 8 <= size && (!format || dataOffset < 0);
         ++chunks) {
        if (!file.seek(at))
            return std::nullopt;
        const QByteArray header = file.read(8);
        if (header.size() < 8)
            break;
        const qint64 length = qFromLittleEndian<quint32>(header.constData() + 4);
        const QByteArray id = header.left(4);
        if (id == "fmt " && length >= 16 && !format) {
            const QByteArray bytes = file.read(std::min<qint64>(length, 26));
            if (bytes.size() < 16)
                return std::nullopt;
            format = ReadFormatChunk(bytes);
        } else if (id == "data" && dataOffset < 0) {
            dataOffset = at + 8;
            dataBytes =
                std::min(length, size - dataOffset);  // a cut-short file plays what it holds
        }
        at += 8 + length + (length & 1);  // chunks are padded to an even length
    }
    if (!format || dataOffset < 0)
        return std::nullopt;
    std::optional<WaveLayout> layout = LayoutOf(*format);
    if (layout) {
        layout->dataOffset = dataOffset;
        layout->frames = dataBytes / layout->frameBytes;
    }
    return layout;
}

WaveSource::WaveSource(QIODevice& file, const WaveLayout& layout, qint64 firstFrame)
    : m_file(file), m_layout(layout), m_frame(std::clamp<qint64>(firstFrame, 0, layout.frames)) {
    open(QIODevice::ReadOnly);
}

qint64 WaveSource::bytesAvailable() const {
    return (m_layout.frames - m_frame) * m_layout.format.bytesPerFrame() +
           QIODevice::bytesAvailable();
}

qint64 WaveSource::readData(char* data, qint64 maxSize) {
    const qint64 frames =
        std::min(maxSize / m_layout.format.bytesPerFrame(), m_layout.frames - m_frame);
    if (frames <= 0 || !m_file.seek(m_layout.dataOffset + m_frame * m_layout.frameBytes))
        return 0;
    const qint64 bytes = frames * m_layout.frameBytes;
    const bool asIs = m_layout.encoding == WaveLayout::Encoding::kAsIs;
    if (!asIs)
        m_buffer.resize(static_cast<size_t>(bytes));
    const qint64 read = m_file.read(asIs ? data : reinterpret_cast<char*>(m_buffer.data()), bytes);
    const qint64 whole = std::max<qint64>(read, 0) / m_layout.frameBytes;
    if (whole < frames)
        m_layout.frames = m_frame + whole;  // the file has shrunk since it was opened
    if (!asIs)
        Convert(m_layout.encoding, m_buffer.data(), whole * m_layout.format.channelCount(), data);
    m_frame += whole;
    return whole * m_layout.format.bytesPerFrame();
}

}  // namespace karvex::platform
