// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/gui/sound_recorder.h"

#include <QDeadlineTimer>

#include <cmath>
#include <cstdint>
#include <cstring>

namespace karvex::test {

namespace {

void PutLittleEndian(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

constexpr int kBlock = SoundRecorder::kRate / 100;  // 10 ms
constexpr double kLoud = 500;                       // the RMS above which a block holds sound
constexpr int kGiveUpMs = 10000;

}  // namespace

std::string ToneWave(int milliseconds, int frames) {
    constexpr int kToneRate = 8000;
    const auto samples =
        static_cast<std::uint32_t>(frames >= 0 ? frames : kToneRate * milliseconds / 1000);
    std::string data;
    for (std::uint32_t i = 0; i < samples; ++i) {
        const double tone = std::sin(2 * 3.14159265358979 * 440 * i / kToneRate);
        PutLittleEndian(data, static_cast<std::uint16_t>(static_cast<std::int16_t>(tone * 8000)),
                        2);
    }
    std::string out = "RIFF";
    PutLittleEndian(out, static_cast<std::uint32_t>(36 + data.size()), 4);
    out += "WAVEfmt ";
    PutLittleEndian(out, 16, 4);
    PutLittleEndian(out, 1, 2);  // PCM
    PutLittleEndian(out, 1, 2);  // mono
    PutLittleEndian(out, kToneRate, 4);
    PutLittleEndian(out, kToneRate * 2, 4);
    PutLittleEndian(out, 2, 2);
    PutLittleEndian(out, 16, 2);
    out += "data";
    PutLittleEndian(out, static_cast<std::uint32_t>(data.size()), 4);
    return out + data;
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
    // Half a second received means the stream has settled into its pace.
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
