// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <cstdint>

#include "platform/centred_dialog.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace karvex {

class Session;

namespace platform {
class MediaControl;
}

// Form13, the wave player: plays a sound file (a temporary copy of the entry last
// right-clicked, made by the caller), shows its length, and plays from a position the user
// may type into the position box. Positions and the length are in milliseconds. The window
// lets go of the file when it closes ("close" to the device), so the caller may delete it
// as soon as the window is gone. Close, Escape or the close box close it.
class Form13 : public platform::CentredDialog {
    Q_OBJECT
  public:
    Form13(Session& session, const QString& wavePath, QWidget* parent = nullptr);
    ~Form13() override;

    // Caption, PlayPosition 0, the device opened on the file, the length and position shown.
    void Form_Load();
    void Form_Unload();  // "close" to the device; runs once, however the window closes
    void Command3D1_Click();

    // Plays from PlayPosition, or from 0 when the sound has been played to its end.
    void MMControl1_PlayClick(bool& cancel);
    // Stops the sound and the position updates; PlayPosition = where it stopped.
    void MMControl1_StopClick(bool& cancel);
    void MMControl1_Done(int notifyCode);  // PlayPosition = where the sound stands
    void MMControl1_StatusUpdate();        // the position box follows the sound

    void Text1_Change();    // PlayPosition = the number the box begins with
    void Text1_GotFocus();  // the box stops following the sound while the user edits it
    // Any key stops the box's updates; Enter (13) plays from the typed position.
    void Text1_KeyPress(int keyAscii);

    std::int32_t PlayPosition() const { return m_playPosition; }
    platform::MediaControl* Device() const { return MMControl1; }
    const QString& WavePath() const { return m_wavePath; }

  protected:
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Describe();  // the accessible names of the length and the position box

    Session& m_session;
    QString m_wavePath;               // the sound file the device opens (DialogPath)
    std::int32_t m_playPosition = 0;  // PlayPosition: where Play starts; follows the box
    bool m_unloaded = false;

    platform::MediaControl* MMControl1;  // the sound device and its Play/Stop button strip
    QLabel* Label1;                      // names the strip's buttons
    QPushButton* Command3D1;             // "Close"
    QLabel* Label2;                      // "Length"
    QLabel* Label3;                      // the length
    QLabel* Label4;                      // "Position"
    QLineEdit* Text1;                    // the position box, editable
};

}  // namespace karvex
