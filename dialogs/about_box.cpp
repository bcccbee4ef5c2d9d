// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/about_box.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>

#include "karvex_version.h"
#include "platform/naming.h"
#include "platform/twips.h"

namespace karvex {

using platform::Place;

namespace {

// Label3 to Label9 and Label1, one line each from top 600 to top 2760.
const char* const kCredits[][2] = {
    {"Label3", "A workbench for the game's POD archives:"},
    {"Label4", "open, search and preview their entries,"},
    {"Label5", "extract them, build new archives and"},
    {"Label6", "mount them in pod.ini."},
    {"Label7", ""},
    {"Label8", "Written for the modders of MTM."},
    {"Label9", "Free to use and to share."},
    {"Label1", "Thanks to everyone who tests it."},
};

}  // namespace

Form10::Form10(QWidget* parent) : CentredDialog(parent) {
    setObjectName("Form10");
    setWindowTitle("About Karvex32");
    setFixedSize(platform::Px(4095), platform::Px(3975));

    Label2 = platform::Named(new QLabel("Karvex32 version " KARVEX_VERSION, this), "Label2");
    QFont bold = font();
    bold.setBold(true);
    Label2->setFont(bold);
    Place(Label2, 120, 120, 1695 + 1200, 255);

    Picture1 = platform::Named(new QLabel(this), "Picture1", "Karvex32 icon");
    Place(Picture1, 3360, 120, 495, 495);
    Picture1->setPixmap(QApplication::windowIcon().pixmap(platform::Px(495)));

    const int lines = static_cast<int>(std::size(kCredits));
    for (int i = 0; i < lines; ++i) {
        auto* line = platform::Named(new QLabel(kCredits[i][1], this), kCredits[i][0]);
        Place(line, 120, 600 + i * (2760 - 600) / (lines - 1), 3855, 255);
    }

    Command1 = platform::Named(new QPushButton("OK", this), "Command1", "OK");
    Command1->setDefault(true);
    Place(Command1, 1200, 3240, 1575, 495);
    connect(Command1, &QPushButton::clicked, this, &Form10::Command1_Click);
}

void Form10::Command1_Click() {
    accept();
}

}  // namespace karvex
