#include "media_control.h"

#include <QAbstractButton>
#include <QAudioOutput>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMediaPlayer>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionButton>
#include <QTimer>
#include <QUrl>

#include <algorithm>

#include "naming.h"

namespace karvex::platform {

namespace {

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

MediaControl::MediaControl(QWidget* parent)
    : QWidget(parent),
      m_player(new QMediaPlayer(this)),
      m_output(new QAudioOutput(this)),
      m_updates(new QTimer(this)),
      m_playButton(new StripButton(StripButton::Sign::Play, this)),
      m_stopButton(new StripButton(StripButton::Sign::Stop, this)) {
    m_player->setAudioOutput(m_output);
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
    connect(m_player, &QMediaPlayer::mediaStatusChanged, this, [this](auto status) {
        if (status == QMediaPlayer::EndOfMedia)
            emit Done(kSuccessful);
        ShowState();
    });
    connect(m_player, &QMediaPlayer::playbackStateChanged, this, &MediaControl::ShowState);
    connect(m_player, &QMediaPlayer::durationChanged, this, &MediaControl::ShowState);
    ShowState();
}

MediaControl::~MediaControl() {
    m_player->disconnect(this);
    m_player->stop();
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
    // Sleeps until the player reports something, woken at least every 20 ms to look at the
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
    m_player->setSource(QUrl::fromLocalFile(m_fileName));
    m_open = true;
    if (m_wait) {
        // Loaded is not yet the length: it follows in a moment of its own.
        WaitUntil([this] {
            const auto status = m_player->mediaStatus();
            return status == QMediaPlayer::InvalidMedia || m_player->error() != QMediaPlayer::NoError ||
                   (status == QMediaPlayer::LoadedMedia && m_player->duration() > 0);
        }, kOpenTimeoutMs);
    }
    ShowState();
}

void MediaControl::Close() {
    if (IsPlaying())
        emit Done(kAborted);
    m_player->stop();
    m_player->setSource(QUrl());
    m_open = false;
    ShowState();
}

bool MediaControl::Play() {
    const qint64 length = Length();
    if (length <= 0)
        return false;
    // At the end of the sound a play would start from the beginning whatever position was
    // asked for: stopping first keeps the position.
    if (m_player->mediaStatus() == QMediaPlayer::EndOfMedia)
        m_player->stop();
    if (m_from >= 0)
        m_player->setPosition(std::clamp<qint64>(m_from, 0, length));
    m_player->play();
    if (m_wait)
        WaitUntil([this] { return !IsPlaying(); }, static_cast<int>(std::min<qint64>(length + 5000, 600000)));
    return true;
}

void MediaControl::Stop() {
    if (IsPlaying()) {
        m_player->pause();
        emit Done(kAborted);
    }
}

qint64 MediaControl::Length() const {
    return m_open ? std::max<qint64>(0, m_player->duration()) : 0;
}

qint64 MediaControl::Position() const {
    if (!m_open)
        return 0;
    if (m_player->mediaStatus() == QMediaPlayer::EndOfMedia)
        return Length();
    return std::clamp<qint64>(m_player->position(), 0, Length());
}

bool MediaControl::IsPlaying() const {
    return m_player->playbackState() == QMediaPlayer::PlayingState;
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
