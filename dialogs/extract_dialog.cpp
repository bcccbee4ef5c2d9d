// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/extract_dialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

#include "core/dialog_options.h"
#include "core/paths.h"
#include "core/pod_core.h"
#include "platform/file_lists.h"
#include "platform/naming.h"
#include "platform/twips.h"

namespace fs = std::filesystem;

namespace karvex {

using platform::Name;
using platform::Place;

namespace {

// The check boxes run from their left edge to the dialog's right edge: at 8.25 points the
// longer captions ("Extract selected files") need more than the 1935 twips first planned.
constexpr int kClientWidth = 5415;
constexpr int kCheckLeft = 3120;
constexpr int kCheckWidth = kClientWidth - kCheckLeft;

QCheckBox* NewCheck(QWidget* parent, const char* name, const QString& text, int top) {
    auto* box = new QCheckBox(text, parent);
    Name(box, name, text);
    Place(box, kCheckLeft, top, kCheckWidth, 255);
    return box;
}

}  // namespace

Form4::Form4(ArchiveState& state, QWidget* parent) : CentredDialog(parent), m_state(state) {
    setObjectName("Form4");
    setWindowTitle(platform::WindowCaption("Extract"));
    setModal(true);
    setFixedSize(platform::Px(kClientWidth), platform::Px(4185));

    // Created in focus order. Both lists start at the process's current folder.
    Drive1 = new platform::DriveList(this);
    Name(Drive1, "Drive1", "Drive");
    Place(Drive1, 0, 0, 3030, 315);

    Dir1 = new platform::FolderList(this);
    Name(Dir1, "Dir1", "Extract to folder");
    Place(Dir1, 0, 360, 3030, 3240);

    Check3D2 = NewCheck(this, "Check3D2", "Extract selected files", 120);
    Check3D3 = NewCheck(this, "Check3D3", "Extract all files", 480);
    Check3D1 = NewCheck(this, "Check3D1", "Extract response file", 840);
    Check3D4 = NewCheck(this, "Check3D4", "Extract information", 1200);
    // Kept only so that DialogOptions has its six places.
    Check3D5 = NewCheck(this, "Check3D5", "Extract a truck", 1560);
    Check3D5->hide();
    Check3D6 = NewCheck(this, "Check3D6", "Extract a BIN model", 1920);
    Check3D6->hide();

    Command3D1 = new QPushButton("Extract", this);
    Name(Command3D1, "Command3D1", "Extract");
    Place(Command3D1, 3360, 2520, 1695, 495);
    Command3D1->setDefault(true);

    Command3D2 = new QPushButton("Cancel", this);
    Name(Command3D2, "Command3D2", "Cancel");
    Place(Command3D2, 3360, 3120, 1695, 495);

    Label1 = new QLabel("Extract Path", this);
    Name(Label1, "Label1", "Extract Path");
    // 900 twips would cut "Path" short at 8.25 points; the row is free up to the buttons.
    Place(Label1, 45, 3600, 1800, 195);

    Label2 = new QLabel(this);
    Name(Label2, "Label2", "Extract path");
    Place(Label2, 45, 3870, 5325, 195);
    Label2->setText(Dir1->path());

    connect(Drive1, &platform::DriveList::driveChanged, this, &Form4::Drive1_Change);
    connect(Dir1, &platform::FolderList::pathChanged, this, &Form4::Dir1_Change);
    connect(Dir1, &platform::FolderList::clicked, this, &Form4::Dir1_Click);
    connect(Command3D1, &QPushButton::clicked, this, &Form4::Command3D1_Click);
    connect(Command3D2, &QPushButton::clicked, this, &Form4::Command3D2_Click);
}

void Form4::showEvent(QShowEvent* event) {
    Label2->setText(Dir1->path());
    CentredDialog::showEvent(event);
}

void Form4::Drive1_Change() {
    Dir1->setPath(Drive1->drive());
    Label2->setText(Dir1->path());
}

void Form4::Dir1_Change() {
    Label2->setText(Dir1->path());
    // The tree spans every volume; keep the drive list on the one the folder is on.
    Drive1->selectDriveOf(Dir1->path());
}

void Form4::Dir1_Click() {
    Dir1_Change();
}

void Form4::Command3D1_Click() {
    m_state.DialogPath = FolderText(fs::path(Dir1->path().toStdString()));
    m_state.DialogName = ExtractBaseName(m_state.PodFileName);
    m_state.DialogOptions = ExtractOptions{.responseFile = Check3D1->isChecked(),
                                           .selectedFiles = Check3D2->isChecked(),
                                           .allFiles = Check3D3->isChecked(),
                                           .information = Check3D4->isChecked(),
                                           .truck = Check3D5->isChecked(),
                                           .binModel = Check3D6->isChecked()}
                                .DialogOptions();
    accept();
}

void Form4::Command3D2_Click() {
    reject();
}

void Form4::reject() {
    m_state.DialogPath.clear();
    m_state.DialogName.clear();
    m_state.DialogOptions.clear();
    QDialog::reject();
}

}  // namespace karvex
