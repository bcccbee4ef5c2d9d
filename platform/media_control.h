// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QFile>
#include <QString>
#include <QWidget>

#include <functional>
#include <optional>

#include "platform/wave_source.h"

class QAbstractButton;
class QAudioSink;
class QTimer;

namespace karvex::platform {

// A wave-audio device driven the way a media control is driven: settings that apply to the
// next command, then the commands "Open", "play", "stop" and "close". It plays through Qt
// Multimedia's audio output, which starts the sound the moment Play asks for it and hears
// it to the last frame; it draws its own button strip, Play on the left half and Stop on the right;
// each button reports its click (PlayClick, StopClick) before the control carries it out
// itself, unless the handler cancels it. The buttons take the keyboard: Space plays when the
// sound is stopped and stops it when it plays. Lengths and positions are in milliseconds.
class MediaControl : public QWidget {
    Q_OBJECT
  public:
    // How a command ended, as Done reports it.
    enum NotifyCode { kSuccessful = 1, kSuperseded = 2, kAborted = 4, kFailure = 8 };

    explicit MediaControl(QWidget* parent = nullptr);
    ~MediaControl() override;

    // Settings for the next command only; each goes back to off once a command has run.
    void SetNotify(bool on);  // that command reports Done when it completes (a play always does)
    void SetWait(bool on);    // that command completes before SendCommand returns
    // Whether another program may use the device's sound at the same time. Kept for the
    // callers' order of settings; the sound is always the program's own.
    void SetShareable(bool on);
    void SetDeviceType(const QString& type);  // "WaveAudio", the one device there is
    void SetFileName(const QString& path);    // the sound file the next "Open" opens

    // "Open", "play", "stop" or "close", in any letter case. "Open" opens the file name set
    // before and reads its length from the wave's header at once; "play" plays from the
    // position set with SetFrom, else from where the sound stands; "stop" halts it there;
    // "close" lets go of the file, so that it may be deleted. False for an unknown command,
    // and for "play" when nothing playable is open: the command then does nothing.
    bool SendCommand(const QString& command);
    void SetFrom(qint64 position);  // where the next "play" starts
    // StatusUpdate every `ms` milliseconds while above 0; 0 stops the updates.
    void SetUpdateInterval(int ms);

    qint64 Length() const;  // the open sound's length, 0 when nothing playable is open
    // Where the sound stands: its length once it has played to the end.
    qint64 Position() const;
    bool IsPlaying() const;
    bool IsOpen() const { return m_open; }
    QAbstractButton* PlayButton() const { return m_playButton; }
    QAbstractButton* StopButton() const { return m_stopButton; }

  signals:
    // A command sent with Notify on has completed, or a play has ended: kSuccessful at the
    // end of the sound, kAborted when "stop" or "close" cut it short.
    void Done(int notifyCode);
    void PlayClick(bool& cancel);  // the Play button, before the control plays
    void StopClick(bool& cancel);  // the Stop button, before the control stops
    void StatusUpdate();           // the update interval has passed

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    class Feed;  // the open sound as the output reads it, from where the play started

    void ClickPlay();
    void ClickStop();
    void Open();
    void Close();
    bool Play();
    void Stop();
    void Finish(int notifyCode);  // reports Done when the command asked for it
    // While playing: ends the play once the output has played every frame handed to it.
    void FollowPlay();
    void EndPlay();  // lets go of the output; the position stays where the sound stood
    void WaitUntil(const std::function<bool()>& ready, int timeoutMs);
    void ShowState();  // the buttons' enabling and the strip's spoken state

    QFile m_file;
    std::optional<WaveLayout> m_layout;  // nothing: no playable sound is open
    QAudioSink* m_sink = nullptr;        // only while playing
    Feed* m_source = nullptr;            // only while playing, a child of the output
    qint64 m_firstFrame = 0;             // where the running play started
    qint64 m_frame = 0;                  // where the sound stands while it does not play
    qint64 m_played = -1;                // the output's last count of played microseconds
    QElapsedTimer m_stalled;             // since that count last moved
    QTimer* m_follow;
    QTimer* m_updates;
    QAbstractButton* m_playButton;
    QAbstractButton* m_stopButton;
    QString m_fileName;
    qint64 m_from = -1;  // -1: the next play starts where the sound stands
    bool m_notify = false;
    bool m_wait = false;
    bool m_open = false;
};

}  // namespace karvex::platform
