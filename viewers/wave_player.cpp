// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewers/wave_player.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <limits>

#include "core/number_text.h"
#include "core/session.h"
#include "platform/latin1.h"
#include "platform/media_control.h"
#include "platform/naming.h"
#include "platform/twips.h"

namespace karvex {

using platform::Named;
using platform::Place;

namespace {

constexpr int kPlayingUpdateMs = 10;  // how often the position box follows a playing sound

// A length or position of the device as the window keeps it: a 32-bit whole number.
std::int32_t Whole(qint64 milliseconds) {
    return static_cast<std::int32_t>(std::clamp<qint64>(milliseconds,
                                                        std::numeric_limits<std::int32_t>::min(),
                                                        std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

Form13::Form13(Session& session, const QString& wavePath, QWidget* parent)
    : CentredDialog(parent), m_session(session), m_wavePath(wavePath) {
    setObjectName("Form13");
    setModal(true);
    setFixedSize(platform::Px(3270), platform::Px(1275));

    MMControl1 = Named(new platform::MediaControl(this), "MMControl1");
    Place(MMControl1, 0, 0, 2280, 495);
    Label1 = Named(new QLabel("         Play             Pause/Stop", this), "Label1");
    Place(Label1, 0, 495, 2310, 240);
    Command3D1 = Named(new QPushButton("Close", this), "Command3D1");
    Place(Command3D1, 0, 720, 2295, 495);
    Label2 = Named(new QLabel("Length", this), "Label2");
    Place(Label2, 2385, 0, 780, 195);
    Label3 = Named(new QLabel(this), "Label3");
    Place(Label3, 2385, 225, 870, 285);
    Label3->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Label4 = Named(new QLabel("Position", this), "Label4");
    Place(Label4, 2385, 675, 780, 195);
    Text1 = Named(new QLineEdit(this), "Text1");
    Place(Text1, 2385, 900, 870, 285);
    Label4->setBuddy(Text1);
    Text1->installEventFilter(this);
    setTabOrder(MMControl1->PlayButton(), MMControl1->StopButton());
    setTabOrder(MMControl1->StopButton(), Command3D1);
    setTabOrder(Command3D1, Text1);

    connect(Command3D1, &QPushButton::clicked, this, &Form13::Command3D1_Click);
    connect(MMControl1, &platform::MediaControl::PlayClick, this, &Form13::MMControl1_PlayClick);
    connect(MMControl1, &platform::MediaControl::StopClick, this, &Form13::MMControl1_StopClick);
    connect(MMControl1, &platform::MediaControl::Done, this, &Form13::MMControl1_Done);
    connect(MMControl1, &platform::MediaControl::StatusUpdate, this,
            &Form13::MMControl1_StatusUpdate);
    connect(Text1, &QLineEdit::textChanged, this, &Form13::Text1_Change);
    Form_Load();
    // Focus starts on the strip, not in the box, whose focus would stop its updates.
    MMControl1->setFocus();
}

Form13::~Form13() {
    Form_Unload();
}

void Form13::Form_Load() {
    setWindowTitle(platform::FromLatin1(m_session.State().SelectedName));
    m_playPosition = 0;
    MMControl1->SetNotify(false);
    MMControl1->SetWait(true);
    MMControl1->SetShareable(false);
    MMControl1->SetDeviceType("WaveAudio");
    MMControl1->SetFileName(m_wavePath);
    MMControl1->SendCommand("Open");
    Label3->setText(QString::number(Whole(MMControl1->Length())));
    Text1->setText(QString::number(m_playPosition));
    Describe();
}

void Form13::Form_Unload() {
    if (m_unloaded)
        return;
    m_unloaded = true;
    MMControl1->SetUpdateInterval(0);
    MMControl1->SendCommand("close");
}

void Form13::Command3D1_Click() {
    close();
}

void Form13::done(int result) {
    Form_Unload();
    CentredDialog::done(result);
}

void Form13::MMControl1_PlayClick(bool&) {
    // A sound played to its end starts again from the beginning.
    const bool atEnd = Whole(MMControl1->Length()) == m_playPosition;
    MMControl1->SetFrom(atEnd ? 0 : m_playPosition);
    MMControl1->SetUpdateInterval(kPlayingUpdateMs);
    MMControl1->SendCommand("play");
}

void Form13::MMControl1_StopClick(bool&) {
    MMControl1->SendCommand("stop");
    MMControl1->SetUpdateInterval(0);
    m_playPosition = Whole(MMControl1->Position());
}

void Form13::MMControl1_Done(int) {
    m_playPosition = Whole(MMControl1->Position());
}

void Form13::MMControl1_StatusUpdate() {
    Text1->setText(QString::number(Whole(MMControl1->Position())));
}

void Form13::Text1_Change() {
    m_playPosition = LeadingNumber(platform::ToLatin1(Text1->text()));
    Describe();
}

void Form13::Text1_GotFocus() {
    MMControl1->SetUpdateInterval(0);
}

void Form13::Text1_KeyPress(int keyAscii) {
    MMControl1->SetUpdateInterval(0);
    if (keyAscii == 13) {
        bool cancel = false;
        MMControl1_PlayClick(cancel);
    }
}

bool Form13::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Text1 && event->type() == QEvent::FocusIn)
        Text1_GotFocus();
    if (watched == Text1 && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            Text1_KeyPress(13);
            return true;  // Enter plays; it does not reach the window's default button
        }
        if (!key->text().isEmpty())
            Text1_KeyPress(key->text().at(0).unicode());
    }
    return CentredDialog::eventFilter(watched, event);
}

void Form13::Describe() {
    Label3->setAccessibleName("Length " + Label3->text());
    Text1->setAccessibleName("Position " + Text1->text());
}

}  // namespace karvex
