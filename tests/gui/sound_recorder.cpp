// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/gui/sound_recorder.h"

#include <QDeadlineTimer>

#include <cmath>
#include <cstdint>
#include <cstring>

namespace karvex::test {

namespace {

QByteArray LittleEndian(quint32 value, int bytes) {
    return QByteArray(reinterpret_cast<const char*>(&value), bytes);
}

constexpr int kBlock = SoundRecorder::kRate / 100;  // 10 ms
constexpr double kLoud = 500;                       // the RMS above which a block holds sound
constexpr int kGiveUpMs = 10000;

}  // namespace

QByteArray Format(quint16 code, quint16 channels, quint32 rate, quint16 bits,
                  const QByteArray& more) {
    const quint32 frame = channels * ((bits + 7) / 8);
    return LittleEndian(code, 2) + LittleEndian(channels, 2) + LittleEndian(rate, 4) +
           LittleEndian(rate * frame, 4) + LittleEndian(frame, 2) + LittleEndian(bits, 2) + more;
}

QByteArray WaveOf(const QByteArray& format, const QByteArray& data, quint32 declared,
                  const QByteArray& between) {
    const QByteArray body = "WAVEfmt " + LittleEndian(format.size(), 4) + format + between +
                            "data" + LittleEndian(declared, 4) + data;
    return "RIFF" + LittleEndian(body.size(), 4) + body;
}

std::string ToneWave(int milliseconds, int frames) {
    constexpr int kToneRate = 8000;
    QByteArray data;
    for (int i = 0; i < (frames >= 0 ? frames : kToneRate * milliseconds / 1000); ++i)
        data += LittleEndian(quint16(qint16(8000 * std::sin(2 * M_PI * 440 * i / kToneRate))), 2);
    return WaveOf(Format(1, 1, kToneRate, 16), data, data.size()).toStdString();
}

SoundRecorder::SoundRecorder() {
    QObject::connect(&m_parec, &QProcess::readyReadStandardOutput,
                     [this] { m_samples += m_parec.readAllStandardOutput(); });
}

SoundRecorder::~SoundRecorder() {
    m_parec.kill();
    m_parec.waitForFinished();
}

bool SoundRecorder::Start() {
    m_parec.start("parec", {"-d", "@DEFAULT_MONITOR@", "--raw", "--format=s16le", "--channels=1",
                            "--rate=" + QString::number(kRate), "--latency-msec=10"});
    // Half a second received: the stream has settled into its pace.
    return m_parec.waitForStarted(kGiveUpMs) && RecordFor(0, 0.5);
}

qint64 SoundRecorder::Mark() {
    m_samples += m_parec.readAllStandardOutput();
    return m_samples.size() / 2;
}

bool SoundRecorder::RecordFor(qint64 mark, double seconds) {
    const qint64 wanted = mark + static_cast<qint64>(seconds * kRate);
    QDeadlineTimer deadline(kGiveUpMs + static_cast<qint64>(seconds * 1000));
    while (Mark() < wanted && !deadline.hasExpired())
        m_parec.waitForReadyRead(100);
    return Mark() >= wanted;
}

SoundRecorder::Heard SoundRecorder::HeardAfter(qint64 mark) const {
    Heard heard;
    std::int64_t blocks = 0, crossings = 0;
    const qint64 samples = m_samples.size() / 2;
    for (qint64 at = mark; at + kBlock <= samples; at += kBlock) {
        std::int16_t block[kBlock];
        std::memcpy(block, m_samples.constData() + 2 * at, sizeof block);
        double energy = 0;
        for (std::int16_t sample : block)
            energy += static_cast<double>(sample) * sample;
        if (std::sqrt(energy / kBlock) < kLoud)
            continue;
        if (heard.startSeconds < 0)
            heard.startSeconds = double(at - mark) / kRate;
        ++blocks;
        for (int i = 1; i < kBlock; ++i)
            crossings += (block[i - 1] < 0) != (block[i] < 0);
    }
    heard.seconds = double(blocks) * kBlock / kRate;
    heard.hertz = blocks ? crossings / (2 * heard.seconds) : 0;
    return heard;
}

}  // namespace karvex::test
