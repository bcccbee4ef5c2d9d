// SPDX-License-Identifier: GPL-3.0-or-later
// The wave player (Form13) on sound files the test makes, through the sound server the test
// command starts (a null sink). Positions are checked by order, never by tight timings.
#include <QAbstractButton>
#include <QApplication>
#include <QBuffer>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/media_control.h"
#include "platform/wave_source.h"
#include "tests/core/test_support.h"
#include "tests/gui/sound_recorder.h"
#include "viewers/wave_player.h"

using namespace karvex;
using namespace karvex::test;

namespace {

// The copy the caller makes, and the player opened on it.
struct PlayerFixture {
    explicit PlayerFixture(const std::string& bytes) {
        session.State().SelectedName = "SOUNDS\\ENGINE.WAV";
        WriteBytes(dir / "karvex.wav", bytes);
        player = std::make_unique<Form13>(session, QString::fromStdString(dir / "karvex.wav"));
        player->show();
    }
    QAbstractButton* play() const { return player->findChild<QAbstractButton*>("PlayButton"); }
    platform::MediaControl& device() const { return *player->Device(); }
    QLineEdit& box() const { return *player->findChild<QLineEdit*>("Text1"); }
    QString length() const { return player->findChild<QLabel*>("Label3")->text(); }
    TempDir dir;
    ArchiveSession session;
    std::unique_ptr<Form13> player;
};

constexpr int kWaitMs = 10000;  // ample for any playback step on a loaded machine

}  // namespace

class WavePlayerTest : public QObject {
    Q_OBJECT

  private slots:
    // It opens at position 0; the Close button makes the device let go of the file, playing.
    void opensAtZeroAndClosesTheDevice() {
        PlayerFixture fixture(ToneWave(5000));
        QCOMPARE(fixture.box().text(), QString("0"));
        QCOMPARE(fixture.player->PlayPosition(), 0);
        QCOMPARE(fixture.player->windowTitle(), QString("SOUNDS\\ENGINE.WAV"));
        QCOMPARE(fixture.player->findChild<QLabel*>("Label1")->text(),
                 QString("         Play             Pause/Stop"));
        QCOMPARE(fixture.player->findChild<QLabel*>("Label3")->accessibleName(), "Length 5000");
        QCOMPARE(fixture.box().accessibleName(), QString("Position 0"));
        QVERIFY(!fixture.box().hasFocus());  // the box's focus would stop its updates
        fixture.play()->click();
        QTRY_VERIFY_WITH_TIMEOUT(fixture.device().IsPlaying(), kWaitMs);
        QTest::mouseClick(fixture.player->findChild<QWidget*>("Command3D1"), Qt::LeftButton);
        QVERIFY(!fixture.player->isVisible() && !fixture.device().IsOpen());
        QVERIFY(!fixture.device().IsPlaying());
    }

    void notASoundOpensEmpty() {
        for (const std::string& bytes : {std::string(), ToneWave(1000).substr(0, 30)}) {
            PlayerFixture fixture(bytes);
            QCOMPARE(fixture.length(), QString("0"));
            fixture.play()->click();
            QCoreApplication::processEvents();  // Play refuses at once: there is nothing to play
            QVERIFY(!fixture.device().IsPlaying());
            QCOMPARE(fixture.device().accessibleName(), QString("Sound player, nothing to play"));
        }
    }

    // What the sound server plays of a 2 s tone (of the part a cut-short file holds), at its pitch.
    void playsWhatIsHeard_data() {
        QTest::addColumn<QString>("how");  // a number: typed into the box, then Enter
        QTest::addColumn<int>("heldMs");
        QTest::addColumn<double>("seconds");
        QTest::newRow("Play after 3 s open") << "open" << 2000 << 2.0;
        QTest::newRow("Space stops, Play resumes") << "stop" << 2000 << 2.0;
        QTest::newRow("from 1000 typed") << "1000" << 2000 << 1.0;
        QTest::newRow("again after the end") << "again" << 2000 << 2.0;
        QTest::newRow("file cut short") << "" << 1000 << 1.0;
    }
    void playsWhatIsHeard() {
        QFETCH(QString, how);
        QFETCH(int, heldMs);
        QFETCH(double, seconds);
        SoundRecorder recorder;
        QVERIFY(recorder.Start());
        PlayerFixture fixture(ToneWave(2000).substr(0, 44 + 16 * heldMs));  // 16 bytes a ms
        QCOMPARE(fixture.length(), QString::number(heldMs));
        QAbstractButton* play = fixture.play();
        if (how == "again") {
            play->click();
            QTRY_COMPARE_WITH_TIMEOUT(fixture.player->PlayPosition(), 2000, kWaitMs);
        }
        QTest::qWait(how == "open" ? 3000 : 1000);  // the player idle this long is under test
        const qint64 mark = recorder.Mark();
        if (how == "stop") {
            fixture.player->activateWindow();
            play->setFocus();
            QTest::keyClick(play, Qt::Key_Space);
            QTRY_VERIFY_WITH_TIMEOUT(fixture.device().Position() >= 500, kWaitMs);
            QCOMPARE(fixture.device().accessibleName(), QString("Sound player, playing"));
            QTest::keyClick(play, Qt::Key_Space);
            QCOMPARE(fixture.device().accessibleName(), QString("Sound player, stopped"));
            QCOMPARE(fixture.device().Position(), qint64{fixture.player->PlayPosition()});
        }
        if (how.toInt() > 0) {  // the box keeps the focus: it does not follow the playing
            fixture.box().setFocus();
            fixture.box().clear();
            QTest::keyClicks(&fixture.box(), how);
            QTest::keyClick(&fixture.box(), Qt::Key_Return);
            QCOMPARE(fixture.box().accessibleName(), "Position " + how);
        } else {
            play->click();
        }
        QTRY_VERIFY_WITH_TIMEOUT(!fixture.device().IsPlaying(), kWaitMs);
        QVERIFY(recorder.RecordFor(mark, 3));
        const SoundRecorder::Heard heard = recorder.HeardAfter(mark);
        const QString seen = QString("%1 s at %2 Hz").arg(heard.seconds).arg(heard.hertz);
        QVERIFY2(std::abs(heard.seconds - seconds) <= 0.2, qPrintable(seen));
        QVERIFY2(std::abs(heard.hertz - 440) < 40, qPrintable(seen));
    }

    // Encodings played as they are or converted, chunks walked, and no playable wave (-1 frames).
    void readsTheWaveLayout() {
        const QByteArray six("\x01\x02\x03\x04\x05\x06", 6), none;
        const QByteArray half("\0\0\0\0\0\0\xE0\x3F", 8);  // 0.5 as a 64-bit float
        const QByteArray guid(
            "\x16\0\x10\0\x04\0\0\0\x01\0\0\0\0\0\x10\0\x80\0\0\xAA\0\x38\x9B\x71", 24);
        const QByteArray pcm8 = Format(1, 1, 8000, 8), pcm16 = Format(1, 1, 8000, 16);
        const struct {
            QByteArray file;
            qint64 frames;
            QByteArray firstOut;  // the first frame as the output gets it
        } rows[] = {
            {WaveOf(Format(1, 2, 22050, 16), six, 6), 1, six.left(4)},
            {WaveOf(Format(1, 1, 8000, 24), six, 6), 2, QByteArray("\0\x01\x02\x03", 4)},
            {WaveOf(Format(3, 1, 8000, 64), half, 8), 1, QByteArray("\0\0\0\x3F", 4)},
            {WaveOf(Format(6, 1, 8000, 8), "\xD5", 1), 1, QByteArray("\x08\0", 2)},  // A-law
            {WaveOf(Format(7, 1, 8000, 8), QByteArray(1, 0), 1), 1, "\x84\x82"},     // mu-law
            {WaveOf(Format(0xFFFE, 1, 8000, 16, guid), six, 6), 3, six.left(2)},
            {WaveOf(pcm8, six, 6, QByteArray("LIST\x03\0\0\0abc", 12)), 6, "\x01"},  // padded
            {WaveOf(pcm8, six, 1000), 6, "\x01"},                                    // cut short
            {WaveOf(Format(2, 1, 8000, 4), six, 6), -1, none},                       // ADPCM
            {WaveOf(Format(1, 0, 8000, 16), six, 6), -1, none},
            {WaveOf(pcm16.left(14), six, 6), -1, none},
            {WaveOf(pcm16, {}, 0).chopped(8), -1, none},  // no data chunk
            {WaveOf(pcm16, six, 6).replace(0, 4, "RIFX"), -1, none}};
        for (const auto& row : rows) {
            QByteArray file = row.file;
            QBuffer buffer(&file);
            buffer.open(QIODevice::ReadOnly);
            const std::optional<platform::WaveLayout> layout = platform::ReadWaveLayout(buffer);
            QCOMPARE(layout ? layout->frames : -1, row.frames);
            if (layout)
                QCOMPARE(
                    platform::WaveSource(buffer, *layout, 0).read(layout->format.bytesPerFrame()),
                    row.firstOut);
        }
    }
};

// QTEST_MAIN, except at the end: Qt 6.4's PulseAudio engine, a static of Qt Multimedia,
// disconnects from the sound server at exit without taking its own thread's lock, so that a
// server event arriving then (a stream or the recorder just gone) aborts or crashes the process
// after every test has passed. Once the application is gone, the test ends without running the
// statics' destructors.
int main(int argc, char* argv[]) {
    int status = 0;
    {
        QApplication app(argc, argv);
        app.setAttribute(Qt::AA_Use96Dpi, true);
        WavePlayerTest test;
        QTEST_SET_MAIN_SOURCE_PATH
        status = QTest::qExec(&test, argc, argv);
    }
    std::fflush(nullptr);
    std::quick_exit(status);
}

#include "wave_player_test.moc"
