// SPDX-License-Identifier: GPL-3.0-or-later
// The wave player (Form13) playing sound files the test makes, through the sound server the
// test command starts (a null sink). Positions are checked by order, never by tight timings.
#include <QAbstractButton>
#include <QBuffer>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <cmath>

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
    void TypeAndEnter(const QString& text) const {
        box().setFocus();
        box().clear();
        QTest::keyClicks(&box(), text);
        QTest::keyClick(&box(), Qt::Key_Return);
    }
    TempDir dir;
    ArchiveSession session;
    std::unique_ptr<Form13> player;
};

constexpr int kWaitMs = 10000;  // ample for any playback step on a loaded machine

}  // namespace

class WavePlayerTest : public QObject {
    Q_OBJECT

  private slots:
    void opensWithLengthAndPositionZero() {
        PlayerFixture fixture(ToneWave(1000));
        QCOMPARE(fixture.length(), QString("1000"));
        QCOMPARE(fixture.box().text(), QString("0"));
        QCOMPARE(fixture.player->PlayPosition(), 0);
        QCOMPARE(fixture.player->windowTitle(), QString("SOUNDS\\ENGINE.WAV"));
        QCOMPARE(fixture.player->findChild<QLabel*>("Label1")->text(),
                 QString("         Play             Pause/Stop"));
        QCOMPARE(fixture.player->findChild<QLabel*>("Label3")->accessibleName(), "Length 1000");
        QCOMPARE(fixture.box().accessibleName(), QString("Position 0"));
        QVERIFY(!fixture.box().hasFocus());  // the box's focus would stop its updates
    }

    // Space plays and stops; Play then resumes where it stopped.
    void stopThenPlayResumes() {
        PlayerFixture fixture(ToneWave(5000));
        fixture.player->activateWindow();
        QAbstractButton* play = fixture.play();
        play->setFocus();
        QTest::keyClick(play, Qt::Key_Space);
        QTRY_VERIFY_WITH_TIMEOUT(fixture.device().Position() >= 200, kWaitMs);
        QCOMPARE(fixture.device().accessibleName(), QString("Sound player, playing"));
        QTest::keyClick(play, Qt::Key_Space);
        QVERIFY(!fixture.device().IsPlaying());
        QCOMPARE(fixture.device().accessibleName(), QString("Sound player, stopped"));
        const int stoppedAt = fixture.player->PlayPosition();
        QVERIFY(stoppedAt >= 200);
        QCOMPARE(fixture.device().Position(), qint64{stoppedAt});
        play->click();
        QTRY_VERIFY_WITH_TIMEOUT(fixture.device().IsPlaying(), kWaitMs);
        QVERIFY(fixture.device().Position() >= stoppedAt);
    }

    void boxStopsFollowingWhileEdited() {
        PlayerFixture fixture(ToneWave(5000));
        fixture.play()->click();
        QTRY_VERIFY_WITH_TIMEOUT(fixture.box().text().toInt() >= 100, kWaitMs);
        fixture.player->activateWindow();
        fixture.box().setFocus();
        QTRY_VERIFY(fixture.box().hasFocus());
        const QString frozen = fixture.box().text();
        QTRY_VERIFY_WITH_TIMEOUT(fixture.device().Position() >= frozen.toInt() + 200, kWaitMs);
        QCOMPARE(fixture.box().text(), frozen);
        QVERIFY(fixture.device().IsPlaying());
    }

    void notASoundOpensEmpty_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("text") << QByteArray("This is no sound at all.\r\n");
        QTest::newRow("header only") << QByteArray::fromStdString(ToneWave(1000).substr(0, 30));
    }
    void notASoundOpensEmpty() {
        QFETCH(QByteArray, bytes);
        PlayerFixture fixture(bytes.toStdString());
        QCOMPARE(fixture.length(), QString("0"));
        fixture.TypeAndEnter("0");
        QCoreApplication::processEvents();  // Play refuses at once: there is nothing to play
        QVERIFY(!fixture.device().IsPlaying());
        QCOMPARE(fixture.device().accessibleName(), QString("Sound player, nothing to play"));
    }

    // What the sound server plays: the whole tone at its pitch, however long the player has
    // been open, again after the end, and from a typed position.
    void playsTheWholeSound_data() {
        QTest::addColumn<int>("openMs");    // how long the player stands open before Play
        QTest::addColumn<bool>("replay");   // played to its end once before
        QTest::addColumn<QString>("from");  // typed into the box, then Enter; else Play
        QTest::addColumn<double>("least");
        QTest::addColumn<double>("most");
        QTest::newRow("after 3 s open") << 3000 << false << "" << 1.8 << 2.2;
        QTest::newRow("again after the end") << 1000 << true << "" << 1.8 << 2.2;
        QTest::newRow("from 1000") << 1000 << false << "1000" << 0.8 << 1.2;
    }
    void playsTheWholeSound() {
        QFETCH(int, openMs);
        QFETCH(bool, replay);
        QFETCH(QString, from);
        QFETCH(double, least);
        QFETCH(double, most);
        SoundRecorder recorder;
        QVERIFY(recorder.Start());
        PlayerFixture fixture(ToneWave(2000));
        QAbstractButton* play = fixture.play();
        if (replay) {
            play->click();
            QTRY_COMPARE_WITH_TIMEOUT(fixture.player->PlayPosition(), 2000, kWaitMs);
        }
        QTest::qWait(openMs);  // the player idle this long is the case under test
        const qint64 mark = recorder.Mark();
        if (from.isEmpty()) {
            play->click();
        } else {  // the box keeps the focus: it does not follow the playing
            fixture.TypeAndEnter(from);
            QCOMPARE(fixture.box().accessibleName(), "Position " + from);
        }
        QTRY_VERIFY_WITH_TIMEOUT(!fixture.device().IsPlaying(), kWaitMs);
        QVERIFY(recorder.RecordFor(mark, 3));
        const SoundRecorder::Heard heard = recorder.HeardAfter(mark);
        const QString seen = QString("%1 s at %2 Hz").arg(heard.seconds).arg(heard.hertz);
        QVERIFY2(heard.seconds >= least && heard.seconds <= most, qPrintable(seen));
        QVERIFY2(std::abs(heard.hertz - 440) < 40, qPrintable(seen));
    }

    // The header's rules: encodings played as they are or converted, the chunks walked to
    // the data, and what is no playable wave.
    void readsTheWaveLayout_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<qint64>("frames");        // -1: no playable wave
        QTest::addColumn<QByteArray>("firstOut");  // the first frame as the output gets it
        const QByteArray six("\x01\x02\x03\x04\x05\x06", 6);
        const QByteArray half("\0\0\0\0\0\0\xE0\x3F", 8);  // 0.5 as a 64-bit float
        const QByteArray guid(
            "\x16\0\x10\0\x04\0\0\0\x01\0\0\0\0\0\x10\0\x80\0\0\xAA\0\x38\x9B\x71", 24);
        QTest::newRow("8-bit") << WaveOf(Format(1, 1, 11025, 8), six, 6) << 6LL
                               << QByteArray("\x01");
        QTest::newRow("16-bit stereo")
            << WaveOf(Format(1, 2, 22050, 16), six, 6) << 1LL << six.left(4);
        QTest::newRow("24-bit widened")
            << WaveOf(Format(1, 1, 8000, 24), six, 6) << 2LL << QByteArray("\0\x01\x02\x03", 4);
        QTest::newRow("64-bit float narrowed")
            << WaveOf(Format(3, 1, 8000, 64), half, 8) << 1LL << QByteArray("\0\0\0\x3F", 4);
        QTest::newRow("A-law") << WaveOf(Format(6, 1, 8000, 8), "\xD5", 1) << 1LL
                               << QByteArray("\x08\0", 2);
        QTest::newRow("mu-law") << WaveOf(Format(7, 1, 8000, 8), QByteArray(1, 0), 1) << 1LL
                                << QByteArray("\x84\x82");
        QTest::newRow("extensible")
            << WaveOf(Format(0xFFFE, 1, 8000, 16, guid), six, 6) << 3LL << six.left(2);
        QTest::newRow("odd chunk padded")
            << WaveOf(Format(1, 1, 8000, 8), six, 6, QByteArray("LIST\x03\0\0\0abc", 12)) << 6LL
            << QByteArray("\x01");
        QTest::newRow("data past the end")
            << WaveOf(Format(1, 1, 8000, 8), six, 1000) << 6LL << QByteArray("\x01");
        QTest::newRow("ADPCM") << WaveOf(Format(2, 1, 8000, 4), six, 6) << -1LL << QByteArray();
        QTest::newRow("no channels")
            << WaveOf(Format(1, 0, 8000, 16), six, 6) << -1LL << QByteArray();
        QTest::newRow("fmt cut short")
            << WaveOf(Format(1, 1, 8000, 16).left(14), six, 6) << -1LL << QByteArray();
        QTest::newRow("no data chunk")
            << WaveOf(Format(1, 1, 8000, 16), {}, 0).chopped(8) << -1LL << QByteArray();
        QTest::newRow("not RIFF") << WaveOf(Format(1, 1, 8000, 16), six, 6).replace(0, 4, "RIFX")
                                  << -1LL << QByteArray();
    }
    void readsTheWaveLayout() {
        QFETCH(QByteArray, file);
        QFETCH(qint64, frames);
        QFETCH(QByteArray, firstOut);
        QBuffer buffer(&file);
        buffer.open(QIODevice::ReadOnly);
        const std::optional<platform::WaveLayout> layout = platform::ReadWaveLayout(buffer);
        QCOMPARE(layout ? layout->frames : -1, frames);
        if (layout) {
            platform::WaveSource source(buffer, *layout, 0);
            QCOMPARE(source.read(layout->format.bytesPerFrame()), firstOut);
        }
    }

    // However the window closes, the device lets go of the file first.
    void closeLetsGoOfTheFile_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Close") << "Close";
        QTest::newRow("Escape") << "Escape";
        QTest::newRow("close box") << "close box";
    }
    void closeLetsGoOfTheFile() {
        QFETCH(QString, how);
        PlayerFixture fixture(ToneWave(5000));
        fixture.play()->click();
        QTRY_VERIFY_WITH_TIMEOUT(fixture.device().IsPlaying(), kWaitMs);
        if (how == "Close")
            QTest::mouseClick(fixture.player->findChild<QWidget*>("Command3D1"), Qt::LeftButton);
        else if (how == "Escape")
            QTest::keyClick(fixture.player.get(), Qt::Key_Escape);
        else
            fixture.player->close();
        QVERIFY(!fixture.player->isVisible());
        QVERIFY(!fixture.device().IsOpen());
        QVERIFY(!fixture.device().IsPlaying());
    }
};

QTEST_MAIN(WavePlayerTest)
#include "wave_player_test.moc"
