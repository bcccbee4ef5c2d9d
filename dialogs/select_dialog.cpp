// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/select_dialog.h"

#include <QFileSystemModel>
#include <QLabel>
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

// What the dialog reports as its pattern: every file.
constexpr const char* kAllFiles = "*.*";

}  // namespace

Form6::Form6(ArchiveState& state, QWidget* parent) : CentredDialog(parent), m_state(state) {
    setObjectName("Form6");
    setWindowTitle(platform::WindowCaption("Select"));
    setModal(true);
    setFixedSize(platform::Px(5280), platform::Px(3735));

    // Both lists start at the process's current folder.
    Dir1 = new platform::FolderList(this);
    Name(Dir1, "Dir1", "Folders");
    Place(Dir1, 0, 0, 3030, 3015);

    File1 = new platform::FileList(this);
    Name(File1, "File1", "Files");
    Place(File1, 3060, 0, 2130, 2820);
    File1->setPath(Dir1->path());
    // "*.*" means every file to the user, but a wildcard wants a dot on this system: an
    // empty pattern lists files without an extension as well.
    File1->setPattern(QString());
    File1->setSelectionMode(QAbstractItemView::ExtendedSelection);

    Command3D2 = new QPushButton("Cancel", this);
    Name(Command3D2, "Command3D2", "Cancel");
    Place(Command3D2, 120, 3240, 1335, 375);

    Label1 = new QLabel(this);
    Name(Label1, "Label1", "Files selected");
    Place(Label1, 1575, 3285, 1995, 240);

    Command3D1 = new QPushButton("Select", this);
    Name(Command3D1, "Command3D1", "Select");
    Place(Command3D1, 3840, 3240, 1335, 375);
    // Without a default button the dialog would make Cancel the one Enter presses.
    Command3D1->setDefault(true);

    setTabOrder(Dir1, File1);
    setTabOrder(File1, Command3D1);
    setTabOrder(Command3D1, Command3D2);

    connect(Dir1, &platform::FolderList::pathChanged, this, &Form6::Dir1_Change);
    connect(File1, &platform::FileList::clicked, this, &Form6::File1_Click);
    // Shift- and Ctrl-clicks, the keyboard and a new folder change the selection too.
    connect(File1->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &Form6::File1_Click);
    connect(File1, &platform::FileList::doubleClicked, this, &Form6::File1_DblClick);
    connect(Command3D1, &QPushButton::clicked, this, &Form6::Command3D1_Click);
    connect(Command3D2, &QPushButton::clicked, this, &Form6::Command3D2_Click);
}

void Form6::Dir1_Change() {
    File1->setPath(Dir1->path());
}

void Form6::File1_Click() {
    // " 3 Files Selected": the count with a leading blank, the same words for one file.
    Label1->setText(QString(" %1 Files Selected").arg(File1->selectedCount()));
}

void Form6::File1_DblClick() {
    Command3D1_Click();
}

void Form6::Command3D1_Click() {
    // The file with the focus counts even when a Ctrl-click has just deselected it.
    const QModelIndex current = File1->currentIndex();
    const bool inList = current.isValid() && current.parent() == File1->rootIndex();
    m_state.PodFolder = FolderText(fs::path(File1->path().toStdString()));
    m_state.PodFileName =
        inList ? current.data(QFileSystemModel::FileNameRole).toString().toStdString() : "";
    m_state.PodPattern = kAllFiles;
    accept();
}

void Form6::Command3D2_Click() {
    reject();
}

}  // namespace karvex
