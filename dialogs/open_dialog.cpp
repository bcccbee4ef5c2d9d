// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/open_dialog.h"

#include <QComboBox>
#include <QPushButton>

#include "core/paths.h"
#include "platform/file_lists.h"
#include "platform/naming.h"
#include "platform/twips.h"

namespace fs = std::filesystem;

namespace karvex {

using platform::Name;
using platform::Place;

namespace {

// Combo1's items, in order, with the pattern each one shows.
const char* const kKinds[][2] = {
    {"Pod File  (*.pod)", "*.pod"},
    {"Response File (*.lst)", "*.lst"},
};

QString PatternOf(int kind) {
    return kKinds[kind == 1 ? 1 : 0][1];
}

}  // namespace

Form2::Form2(ArchiveState& state, QWidget* parent) : CentredDialog(parent), m_state(state) {
    setObjectName("Form2");
    setWindowTitle(platform::WindowCaption("Open"));
    setModal(true);
    setFixedSize(platform::Px(5280), platform::Px(4095));

    // All three lists start at the process's current folder.
    const platform::FolderAndFiles lists = platform::CreateFolderAndFiles(this, "Files");
    Drive1 = lists.Drive1;
    Dir1 = lists.Dir1;
    File1 = lists.File1;

    Combo1 = new QComboBox(this);
    Name(Combo1, "Combo1", "File kind");
    Place(Combo1, 3105, 3120, 2085, 315);
    for (const auto& kind : kKinds)
        Combo1->addItem(kind[0]);
    Combo1->setCurrentIndex(0);
    File1->setPattern(PatternOf(0));

    Command3D2 = new QPushButton("Cancel", this);
    Name(Command3D2, "Command3D2", "Cancel");
    Place(Command3D2, 120, 3600, 1335, 375);

    Command3D1 = new QPushButton("Open", this);
    Name(Command3D1, "Command3D1", "Open");
    Place(Command3D1, 3840, 3600, 1335, 375);
    Command3D1->setDefault(true);

    connect(Drive1, &platform::DriveList::driveChanged, this, &Form2::Drive1_Change);
    connect(Dir1, &platform::FolderList::pathChanged, this, &Form2::Dir1_Change);
    connect(Combo1, &QComboBox::activated, this, &Form2::Combo1_Click);
    connect(File1, &platform::FileList::doubleClicked, this, &Form2::File1_DblClick);
    connect(Command3D1, &QPushButton::clicked, this, &Form2::Command3D1_Click);
    connect(Command3D2, &QPushButton::clicked, this, &Form2::Command3D2_Click);
}

void Form2::Drive1_Change() {
    Dir1->setPath(Drive1->drive());
}

void Form2::Dir1_Change() {
    File1->setPath(Dir1->path());
    File1->setPattern(PatternOf(Combo1->currentIndex()));
    // The tree spans every volume; keep the drive list on the one the folder is on.
    Drive1->selectDriveOf(Dir1->path());
}

void Form2::Combo1_Click() {
    File1->setPattern(PatternOf(Combo1->currentIndex()));
}

void Form2::File1_DblClick() {
    Command3D1_Click();
}

void Form2::Command3D1_Click() {
    m_state.PodFolder = FolderText(fs::path(File1->path().toStdString()));
    m_state.PodFileName = File1->fileName().toStdString();
    m_state.PodPattern = File1->pattern().toStdString();
    accept();
}

void Form2::Command3D2_Click() {
    m_state.PodFolder.clear();
    m_state.PodFileName.clear();
    m_state.PodPattern.clear();
    done(Cancelled);
}

}  // namespace karvex
