// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QProcess>

#include <string>

namespace karvex::test {

// A "fmt " chunk: format code, channels, rate, bits, and what follows them.
QByteArray Format(quint16 code, quint16 channels, quint32 rate, quint16 bits,
                  const QByteArray& more = {});
// A RIFF wave: `format`, the chunks `between`, and a data chunk of `declared` bytes holding `data`.
QByteArray WaveOf(const QByteArray& format, const QByteArray& data, quint32 declared,
                  const QByteArray& between = {});
// A mono 16-bit wave of `milliseconds` (or `frames` samples) of a 440 Hz tone at 8,000 Hz.
std::string ToneWave(int milliseconds, int frames = -1);

// What the sound server plays, recorded from its default sink's monitor with parec; its first
// data comes late, so a moment is placed by the samples received up to it (Mark).
class SoundRecorder {
  public:
    static constexpr int kRate = 44100;
    struct Heard {
        double startSeconds = -1;  // from the mark to the first sound; -1 when none was heard
        double seconds = 0;        // how much sound there was, in 10 ms blocks
        double hertz = 0;          // its pitch, from the zero crossings
    };

    SoundRecorder();
    ~SoundRecorder();
    bool Start();   // false when parec does not run or sends nothing within 10 s
    qint64 Mark();  // the samples received so far
    // Waits until `seconds` more have come after `mark`; false when they do not.
    bool RecordFor(qint64 mark, double seconds);
    Heard HeardAfter(qint64 mark) const;

  private:
    QProcess m_parec;
    QByteArray m_samples;
};

}  // namespace karvex::test
