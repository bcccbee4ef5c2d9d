// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAudioFormat>
#include <QIODevice>

#include <optional>
#include <vector>

namespace karvex::platform {

// Where a wave file keeps its sound, and how its samples reach the audio output. The output
// takes 8-bit unsigned, 16- and 32-bit signed and 32-bit float samples as they are; 24-bit
// samples are widened to 32 bits, 64-bit floats narrowed to 32, A-law and mu-law expanded to
// 16-bit.
struct WaveLayout {
    enum class Encoding { kAsIs, kPcm24, kFloat64, kALaw, kMuLaw };
    QAudioFormat format;  // what the audio output is given
    Encoding encoding = Encoding::kAsIs;
    qint64 dataOffset = 0;  // the first frame's place in the file
    qint64 frames = 0;      // whole frames present in the file, however long the header says
    int frameBytes = 0;     // one frame as the file holds it

    qint64 Milliseconds(qint64 frame) const { return frame * 1000 / format.sampleRate(); }
    qint64 FrameAt(qint64 milliseconds) const { return milliseconds * format.sampleRate() / 1000; }
};

// The layout of the RIFF wave in `file` (open for reading), from its "fmt " and "data"
// chunks; nothing when it is no wave, or one in an encoding the player cannot play. Only the
// headers are read, whatever the file's size.
std::optional<WaveLayout> ReadWaveLayout(QIODevice& file);

// The frames of a wave from one frame to the end, read from the file as the audio output asks
// for them and converted to its format on the way; holds no more than one request's bytes.
class WaveSource : public QIODevice {
  public:
    WaveSource(QIODevice& file, const WaveLayout& layout, qint64 firstFrame);

    qint64 Frame() const { return m_frame; }  // the next frame to hand over
    bool isSequential() const override { return true; }
    bool atEnd() const override { return m_frame >= m_layout.frames; }
    qint64 bytesAvailable() const override;

  protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

  private:
    QIODevice& m_file;
    WaveLayout m_layout;
    qint64 m_frame;
    std::vector<unsigned char> m_buffer;  // file bytes of the samples that are converted
};

}  // namespace karvex::platform
