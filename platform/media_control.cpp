// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/media_control.h"

#include <QAbstractButton>
#include <QAudioDevice>
#include <QAudioSink>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMediaDevices>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionButton>
#include <QTimer>

#include <algorithm>

#include "platform/naming.h"

namespace karvex::platform {

namespace {

constexpr int kFollowMs = 10;   // how often a play looks whether the output has finished
constexpr int kStallMs = 1000;  // an output whose count stands still this long has ended

// One button of the strip: a raised panel from the style with a drawn sign on it, a
// triangle for Play, two bars for Stop.
class StripButton : public QAbstractButton {
  public:
    enum class Sign { Play, Stop };
    StripButton(Sign sign, QWidget* parent) : QAbstractButton(parent), m_sign(sign) {
        setFocusPolicy(Qt::StrongFocus);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        QStyleOptionButton option;
        option.initFrom(this);
        option.state |= isDown() ? QStyle::State_Sunken : QStyle::State_Raised;
        style()->drawPrimitive(QStyle::PE_PanelButtonCommand, &option, &painter, this);
        if (hasFocus()) {
            QStyleOptionFocusRect focus;
            focus.initFrom(this);
            focus.rect = rect().adjusted(3, 3, -3, -3);
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
        }
        DrawSign(painter);
    }

  private:
    void DrawSign(QPainter& painter) const {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(isEnabled() ? palette().color(QPalette::ButtonText)
                                     : palette().color(QPalette::Disabled, QPalette::ButtonText));
        const int side = std::max(4, std::min(width(), height()) * 2 / 5);
        const QPointF centre = QRectF(rect()).center() + (isDown() ? QPointF(1, 1) : QPointF());
        const QRectF box(centre.x() - side / 2.0, centre.y() - side / 2.0, side, side);
        if (m_sign == Sign::Play) {
            QPainterPath triangle;
            triangle.moveTo(box.topLeft());
            triangle.lineTo(box.right(), box.center().y());
            triangle.lineTo(box.bottomLeft());
            triangle.closeSubpath();
            painter.drawPath(triangle);
        } else {
            const qreal bar = side / 3.0;
            painter.drawRect(QRectF(box.left(), box.top(), bar, side));
            painter.drawRect(QRectF(box.right() - bar, box.top(), bar, side));
        }
    }

    Sign m_sign;
};

}  // namespace

// The sound as the output reads it. It never tells the output that it is at its end: Qt 6.4's
// PulseAudio output, when it runs dry with its source at the end, asks the sound server to
// drain the stream and to answer to the output itself, and leaves that request standing when
// the output is stopped and deleted. The answer then comes on the sound server's thread to a
// deleted output. The control looks at Finished instead, and ends the play itself once the
// output has played every frame handed to it.
class MediaControl::Feed : public WaveSource {
  public:
    using WaveSource::WaveSource;
    bool Finished() const { return WaveSource::atEnd(); }
    bool atEnd() const override { return false; }
};

MediaControl::MediaControl(QWidget* parent)
    : QWidget(parent),
      m_follow(new QTimer(this)),
      m_updates(new QTimer(this)),
      m_playButton(new StripButton(StripButton::Sign::Play, this)),
      m_stopButton(new StripButton(StripButton::Sign::Stop, this)) {
    Name(m_playButton, "PlayButton", "Play");
    Name(m_stopButton, "StopButton", "Stop");
    m_playButton->setToolTip("Play");
    m_stopButton->setToolTip("Stop");
    for (QAbstractButton* button : {m_playButton, m_stopButton})
        button->installEventFilter(this);
    setFocusProxy(m_playButton);
    connect(m_playButton, &QAbstractButton::clicked, this, &MediaControl::ClickPlay);
    connect(m_stopButton, &QAbstractButton::clicked, this, &MediaControl::ClickStop);
    connect(m_updates, &QTimer::timeout, this, &MediaControl::StatusUpdate);
    connect(m_follow, &QTimer::timeout, this, &MediaControl::FollowPlay);
    ShowState();
}

MediaControl::~MediaControl() {
    EndPlay();
}

void MediaControl::SetNotify(bool on) {
    m_notify = on;
}

void MediaControl::SetWait(bool on) {
    m_wait = on;
}

void MediaControl::SetShareable(bool) {}

void MediaControl::SetDeviceType(const QString&) {}

void MediaControl::SetFileName(const QString& path) {
    m_fileName = path;
}

void MediaControl::SetFrom(qint64 position) {
    m_from = position;
}

void MediaControl::SetUpdateInterval(int ms) {
    if (ms > 0)
        m_updates->start(ms);
    else
        m_updates->stop();
}

bool MediaControl::SendCommand(const QString& command) {
    const QString verb = command.trimmed().toLower();
    bool known = true;
    bool done = true;
    if (verb == "open")
        Open();
    else if (verb == "play")
        done = Play();
    else if (verb == "stop")
        Stop();
    else if (verb == "close")
        Close();
    else
        known = done = false;
    if (known)
        Finish(done ? kSuccessful : kFailure);
    m_notify = m_wait = false;
    m_from = -1;
    return done;
}

void MediaControl::Finish(int notifyCode) {
    if (m_notify)
        emit Done(notifyCode);
}

void MediaControl::WaitUntil(const std::function<bool()>& ready, int timeoutMs) {
    // Sleeps until the output reports something, woken at least every 20 ms to look at the
    // clock; the user's input waits until the command has completed.
    QElapsedTimer clock;
    clock.start();
    QTimer wake;
    wake.start(20);
    while (!ready() && clock.elapsed() < timeoutMs) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                        QEventLoop::WaitForMoreEvents);
    }
}

void MediaControl::Open() {
    Close();
    m_file.setFileName(m_fileName);
    if (m_file.open(QIODevice::ReadOnly))
        m_layout = ReadWaveLayout(m_file);
    m_open = true;
    ShowState();
}

void MediaControl::Close() {
    if (IsPlaying())
        emit Done(kAborted);
    EndPlay();
    m_file.close();
    m_layout.reset();
    m_frame = 0;
    m_open = false;
    ShowState();
}

bool MediaControl::Play() {
    const qint64 length = Length();
    if (length <= 0)
        return false;
    // Without a position asked for, a sound that has played to its end starts again.
    qint64 first = m_frame >= m_layout->frames ? 0 : m_frame;
    if (m_from >= 0)
        first = m_layout->FrameAt(std::clamp<qint64>(m_from, 0, length));
    if (IsPlaying())
        emit Done(kSuperseded);
    EndPlay();
    // The output is made for this play alone: a stream opened before Play would run its
    // clock, and the sound would start late and cut short.
    // Without a parent: Qt hands it on to the output's inner part, which would then be deleted
    // with this control, in the middle of its destruction; EndPlay has the output deleted later.
    m_sink = new QAudioSink(QMediaDevices::defaultAudioOutput(), m_layout->format);
    m_source = new Feed(m_file, *m_layout, first);
    m_source->setParent(m_sink);  // the output reads it until it is deleted
    m_firstFrame = m_frame = first;
    m_played = -1;
    m_sink->start(m_source);
    if (m_sink->error() != QAudio::NoError) {
        EndPlay();
        ShowState();
        return false;
    }
    m_follow->start(kFollowMs);
    ShowState();
    if (m_wait)
        WaitUntil([this] { return !IsPlaying(); },
                  static_cast<int>(std::min<qint64>(length + 5000, 600000)));
    return true;
}

void MediaControl::FollowPlay() {
    if (!m_sink)
        return;
    const qint64 played = m_sink->processedUSecs();
    if (played != m_played) {
        m_played = played;
        m_stalled.start();
    }
    const qint64 handedOver = m_source->Frame() - m_firstFrame;
    const bool allPlayed = played * m_layout->format.sampleRate() / 1000000 >= handedOver;
    const bool failed =
        m_sink->state() == QAudio::StoppedState && m_sink->error() != QAudio::NoError;
    // An output that stops counting with nothing left to hand over has ended too.
    if (failed || (m_source->Finished() && (allPlayed || m_stalled.elapsed() > kStallMs))) {
        EndPlay();
        m_frame = m_layout->frames;
        ShowState();
        emit Done(failed ? kFailure : kSuccessful);
    }
}

void MediaControl::EndPlay() {
    m_follow->stop();
    if (!m_sink)
        return;
    m_frame =
        std::min(m_layout->frames,
                 m_firstFrame + m_sink->processedUSecs() * m_layout->format.sampleRate() / 1000000);
    m_sink->stop();
    // Deleting an output runs the event loop (Qt's PulseAudio output does): it goes later, so
    // that no click or update comes in halfway through a command, nor while the window and this
    // control are being destroyed.
    m_sink->deleteLater();
    m_sink = nullptr;
    m_source = nullptr;
}

void MediaControl::Stop() {
    if (IsPlaying()) {
        EndPlay();
        ShowState();
        emit Done(kAborted);
    }
}

qint64 MediaControl::Length() const {
    return m_open && m_layout ? m_layout->Milliseconds(m_layout->frames) : 0;
}

qint64 MediaControl::Position() const {
    if (!m_open || !m_layout)
        return 0;
    qint64 frame = m_frame;
    if (m_sink)
        frame = m_firstFrame + m_sink->processedUSecs() * m_layout->format.sampleRate() / 1000000;
    return frame >= m_layout->frames ? Length() : std::min(Length(), m_layout->Milliseconds(frame));
}

bool MediaControl::IsPlaying() const {
    return m_sink != nullptr;
}

void MediaControl::ClickPlay() {
    bool cancel = false;
    emit PlayClick(cancel);
    if (!cancel)
        SendCommand("play");
}

void MediaControl::ClickStop() {
    bool cancel = false;
    emit StopClick(cancel);
    if (!cancel)
        SendCommand("stop");
}

bool MediaControl::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Space) {
            if (event->type() == QEvent::KeyPress && !key->isAutoRepeat())
                IsPlaying() ? ClickStop() : ClickPlay();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void MediaControl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int half = width() / 2;
    m_playButton->setGeometry(0, 0, half, height());
    m_stopButton->setGeometry(half, 0, width() - half, height());
}

void MediaControl::ShowState() {
    const bool playable = Length() > 0;
    m_playButton->setEnabled(playable);
    m_stopButton->setEnabled(playable);
    QString state = "nothing to play";
    if (playable)
        state = IsPlaying() ? "playing" : "stopped";
    setAccessibleName("Sound player, " + state);
}

}  // namespace karvex::platform
