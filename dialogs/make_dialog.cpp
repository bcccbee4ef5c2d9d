// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/make_dialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <initializer_list>

#include "core/dialog_options.h"
#include "core/paths.h"
#include "core/pod_core.h"
#include "core/pod_format.h"
#include "core/text.h"
#include "platform/file_lists.h"
#include "platform/latin1.h"
#include "platform/message_boxes.h"
#include "platform/naming.h"
#include "platform/twips.h"

namespace fs = std::filesystem;

namespace karvex {

using platform::Name;
using platform::Place;

namespace {

constexpr int kNameLength = 12;  // room for an 8.3 file name

// Tab goes through `controls` from first to last.
void TabChain(std::initializer_list<QWidget*> controls) {
    QWidget* previous = nullptr;
    for (QWidget* control : controls) {
        if (previous)
            QWidget::setTabOrder(previous, control);
        previous = control;
    }
}

}  // namespace

Form3::Form3(ArchiveState& state, QWidget* parent) : CentredDialog(parent), m_state(state) {
    setObjectName("Form3");
    setWindowTitle(platform::WindowCaption("Make"));
    setModal(true);
    setFixedSize(platform::Px(5280), platform::Px(4500));

    // All three lists start at the process's current folder.
    const platform::FolderAndFiles lists =
        platform::CreateFolderAndFiles(this, "Archives in this folder");
    Drive1 = lists.Drive1;
    Dir1 = lists.Dir1;
    File1 = lists.File1;
    File1->setPattern("*.pod");

    Text1 = new QLineEdit(this);
    Name(Text1, "Text1", "New archive file name");
    Place(Text1, 3105, 3120, 2085, 285);
    Text1->setMaxLength(kNameLength);
    // The limit is for typing: a longer name chosen in the list goes in whole (File1_Click)
    // and can be edited within its own length; emptied, the box takes 12 again.
    connect(Text1, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (text.isEmpty())
            Text1->setMaxLength(kNameLength);
    });

    Command3D2 = new QPushButton("Cancel", this);
    Name(Command3D2, "Command3D2", "Cancel");
    Place(Command3D2, 120, 3600, 1335, 375);

    Check3D1 = new QCheckBox("Mount POD", this);
    Name(Check3D1, "Check3D1", "Mount POD");
    Place(Check3D1, 1920, 3600, 1335, 255);

    Command3D1 = new QPushButton("Make", this);
    Name(Command3D1, "Command3D1", "Make");
    Place(Command3D1, 3480, 3600, 1575, 375);
    Command3D1->setDefault(true);

    Label1 = new QLabel("POD Comment", this);
    Name(Label1, "Label1", "POD Comment");
    Place(Label1, 1935, 3870, 1035, 195);
    // Fonts wider than the one the layout was drawn for would cut the caption short.
    Label1->resize(std::max(Label1->width(), Label1->sizeHint().width()), Label1->height());

    Text2 = new QLineEdit(this);
    Name(Text2, "Text2", "POD Comment");
    Place(Text2, 0, 4095, 5190, 285);
    Text2->setMaxLength(kCommentSize);
    Label1->setBuddy(Text2);

    TabChain({Drive1, Dir1, File1, Text1, Text2, Check3D1, Command3D1, Command3D2});

    connect(Drive1, &platform::DriveList::driveChanged, this, &Form3::Drive1_Change);
    connect(Dir1, &platform::FolderList::pathChanged, this, &Form3::Dir1_Change);
    connect(File1, &platform::FileList::clicked, this, &Form3::File1_Click);
    // Moving through the list with the keyboard chooses a file as a click does.
    connect(File1->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &Form3::File1_Click);
    connect(Command3D1, &QPushButton::clicked, this, &Form3::Command3D1_Click);
    connect(Command3D2, &QPushButton::clicked, this, &Form3::Command3D2_Click);
}

void Form3::Drive1_Change() {
    Dir1->setPath(Drive1->drive());
}

void Form3::Dir1_Change() {
    File1->setPath(Dir1->path());
    // The tree spans every volume; keep the drive list on the one the folder is on.
    Drive1->selectDriveOf(Dir1->path());
}

void Form3::File1_Click() {
    // A list left with nothing chosen (a new folder) leaves the name typed so far alone.
    const QString name = File1->fileName();
    if (name.isEmpty())
        return;
    Text1->setMaxLength(std::max<int>(kNameLength, name.size()));
    Text1->setText(name);
}

void Form3::Command3D1_Click() {
    const std::string name = Trim(Text1->text().toStdString());
    if (!IsPodFileName(name)) {
        platform::ShowMessage(this, kNameFormatText, kCaption, Icon::Information);
        return;
    }
    m_state.DialogPath = FolderText(fs::path(File1->path().toStdString()));
    m_state.DialogName = name;
    m_state.DialogOptions = MakeOptions{.mount = Check3D1->isChecked()}.DialogOptions();
    // The header holds exactly 80 bytes: a shorter comment is padded with blanks.
    std::string comment = platform::ToLatin1(Text2->text());
    comment.resize(kCommentSize, ' ');
    m_state.PodComment = comment;
    accept();
}

void Form3::Command3D2_Click() {
    reject();
}

void Form3::reject() {
    m_state.DialogPath.clear();
    m_state.DialogName.clear();
    m_state.DialogOptions.clear();
    QDialog::reject();
}

}  // namespace karvex
