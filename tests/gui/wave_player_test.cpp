// The wave player (Form13) playing real sound files the test makes, through the sound
// server the test command starts (a null sink, so nothing is heard): length, typed
// positions, replay from the end, stop and resume, the box's updates, the keyboard, and a
// file that is no sound. Positions are checked by order, never by tight timings.
#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <cmath>
#include <cstdint>
#include <string>

#include "media_control.h"
#include "test_support.h"
#include "wave_player.h"

using namespace karvex;
using namespace karvex::test;

namespace {

void PutLittleEndian(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// A mono 16-bit PCM wave file of `milliseconds` of a 440 Hz tone at 8,000 samples a second.
std::string Wave(int milliseconds) {
    constexpr int kRate = 8000;
    const std::uint32_t samples = static_cast<std::uint32_t>(kRate * milliseconds / 1000);
    std::string data;
    for (std::uint32_t i = 0; i < samples; ++i) {
        const double tone = std::sin(2 * 3.14159265358979 * 440 * i / kRate);
        PutLittleEndian(data, static_cast<std::uint16_t>(static_cast<std::int16_t>(tone * 8000)), 2);
    }
    std::string out = "RIFF";
    PutLittleEndian(out, static_cast<std::uint32_t>(36 + data.size()), 4);
    out += "WAVEfmt ";
    PutLittleEndian(out, 16, 4);
    PutLittleEndian(out, 1, 2);  // PCM
    PutLittleEndian(out, 1, 2);  // mono
    PutLittleEndian(out, kRate, 4);
    PutLittleEndian(out, kRate * 2, 4);
    PutLittleEndian(out, 2, 2);
    PutLittleEndian(out, 16, 2);
    out += "data";
    PutLittleEndian(out, static_cast<std::uint32_t>(data.size()), 4);
    return out + data;
}

// The copy the caller makes, and the player opened on it.
struct PlayerFixture {
    explicit PlayerFixture(const std::string& bytes) {
        session.State().SelectedName = "SOUNDS\\ENGINE.WAV";
        WriteBytes(dir / "karvex.wav", bytes);
        player = std::make_unique<Form13>(session, path());
        player->show();
    }
    QString path() const { return QString::fromStdString((dir / "karvex.wav").string()); }
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
        PlayerFixture fixture(Wave(1000));
        QCOMPARE(fixture.length(), QString("1000"));
        QCOMPARE(fixture.box().text(), QString("0"));
        QCOMPARE(fixture.player->PlayPosition(), 0);
        QCOMPARE(fixture.player->windowTitle(), QString("SOUNDS\\ENGINE.WAV"));
        QCOMPARE(fixture.player->findChild<QLabel*>("Label1")->text(),
                 QString("         Play             Pause/Stop"));
        QCOMPARE(fixture.player->findChild<QLabel*>("Label3")->accessibleName(),
                 QString("Length 1000"));
        QCOMPARE(fixture.box().accessibleName(), QString("Position 0"));
        QVERIFY(!fixture.box().hasFocus());  // the box's focus would stop its updates
    }

    void playsFromTypedPosition() {
        PlayerFixture fixture(Wave(2000));
        fixture.TypeAndEnter("1500");
        QVERIFY(fixture.player->isVisible());  // Enter plays; it does not close the window
        QTRY_VERIFY_WITH_TIMEOUT(fixture.device().IsPlaying(), kWaitMs);
        QVERIFY(fixture.device().Position() >= 1500);
        QCOMPARE(fixture.box().accessibleName(), QString("Position 1500"));
    }

    void playsAgainFromStartAfterEnd() {
        PlayerFixture fixture(Wave(300));
        fixture.player->findChild<QAbstractButton*>("PlayButton")->click();
        QTRY_COMPARE_WITH_TIMEOUT(fixture.player->PlayPosition(), 300, kWaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(!fixture.device().IsPlaying(), kWaitMs);
        QCOMPARE(fixture.device().Position(), qint64{300});
        fixture.player->findChild<QAbstractButton*>("PlayButton")->click();
        QTRY_VERIFY_WITH_TIMEOUT(fixture.device().IsPlaying(), kWaitMs);
        QVERIFY(fixture.device().Position() < 300);
    }

    void stopThenPlayResumes() {
        PlayerFixture fixture(Wave(5000));
        auto* play = fixture.player->findChild<QAbstractButton*>("PlayButton");
        play->click();
        QTRY_VERIFY_WITH_TIMEOUT(fixture.device().Position() >= 200, kWaitMs);
        fixture.player->findChild<QAbstractButton*>("StopButton")->click();
        QVERIFY(!fixture.device().IsPlaying());
        const int stoppedAt = fixture.player->PlayPosition();
        QVERIFY(stoppedAt >= 200);
        QCOMPARE(fixture.device().Position(), qint64{stoppedAt});
        play->click();
        QTRY_VERIFY_WITH_TIMEOUT(fixture.device().IsPlaying(), kWaitMs);
        QVERIFY(fixture.device().Position() >= stoppedAt);
    }

    void boxStopsFollowingWhileEdited() {
        PlayerFixture fixture(Wave(5000));
        fixture.player->findChild<QAbstractButton*>("PlayButton")->click();
        QTRY_VERIFY_WITH_TIMEOUT(fixture.box().text().toInt() >= 100, kWaitMs);
        fixture.player->activateWindow();
        fixture.box().setFocus();
        QTRY_VERIFY(fixture.box().hasFocus());
        const QString frozen = fixture.box().text();
        QTest::qWait(300);
        QCOMPARE(fixture.box().text(), frozen);
        QVERIFY(fixture.device().IsPlaying());
    }

    void spacePlaysAndStops() {
        PlayerFixture fixture(Wave(5000));
        fixture.player->activateWindow();
        auto* play = fixture.player->findChild<QAbstractButton*>("PlayButton");
        play->setFocus();
        QTest::keyClick(play, Qt::Key_Space);
        QTRY_VERIFY_WITH_TIMEOUT(fixture.device().IsPlaying(), kWaitMs);
        QCOMPARE(fixture.device().accessibleName(), QString("Sound player, playing"));
        QTest::keyClick(play, Qt::Key_Space);
        QVERIFY(!fixture.device().IsPlaying());
        QCOMPARE(fixture.device().accessibleName(), QString("Sound player, stopped"));
    }

    void notASoundOpensEmpty_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("text") << QByteArray("This is no sound at all.\r\n");
        QTest::newRow("header only") << QByteArray::fromStdString(Wave(1000).substr(0, 30));
    }
    void notASoundOpensEmpty() {
        QFETCH(QByteArray, bytes);
        PlayerFixture fixture(bytes.toStdString());
        QCOMPARE(fixture.length(), QString("0"));
        fixture.TypeAndEnter("0");
        QTest::qWait(200);
        QVERIFY(!fixture.device().IsPlaying());
        QCOMPARE(fixture.device().accessibleName(), QString("Sound player, nothing to play"));
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
        PlayerFixture fixture(Wave(5000));
        fixture.player->findChild<QAbstractButton*>("PlayButton")->click();
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
