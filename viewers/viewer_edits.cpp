// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewers/viewer_edits.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>

#include <vector>

#include "core/host.h"
#include "core/session.h"
#include "platform/latin1.h"
#include "platform/message_boxes.h"
#include "viewers/archive_import.h"

namespace karvex {

int ReplaceEntry(QWidget* parent, const EditRunner& edit, const std::string& name, int row,
                 const QString& file, std::string_view bytes) {
    if (!edit || !platform::AskYesNo(parent,
                                     "Replace " + platform::FromLatin1(name) + " with " +
                                         QDir::toNativeSeparators(file) + "?",
                                     kCaption))
        return -1;
    EditData data;
    EditPlan plan;
    plan.changes.push_back({EditChange::Kind::Replace, name, {}, {}, row});
    if (const IoStatus kept = data.Put(bytes, plan.changes.back()); !kept.IsDone()) {
        ShowRefusal(parent, "Cannot keep the imported data\n\n" + kept.Reason());
        return -1;
    }
    std::vector<int> changed;
    if (!edit(plan, changed))
        return -1;
    return changed.empty() ? row : changed.front();
}

int ReplaceTexture(QWidget* parent, const Session& session, const EditRunner& edit,
                   const std::string& name, int row, const QString& file, bool dither) {
    if (!edit)
        return -1;
    std::string palette, texture;
    Result read = PaletteForImport(session, name, -1, palette);
    if (read.IsDone())
        read = ReadTextureFile(QFile::encodeName(file).toStdString(), palette, {dither},
                               session.State().LineFeed, texture);
    if (!read.IsDone()) {
        ShowRefusal(parent, read.message);
        return -1;
    }
    return ReplaceEntry(parent, edit, name, row, file, texture);
}

void ShowRefusal(QWidget* parent, const std::string& text) {
    platform::ShowMessage(parent, platform::FromLatin1(text), kCaption, Icon::Exclamation);
}

QString ChooseFile(QWidget* parent, const QString& title, const QString& filter, bool save,
                   const QString& suggested, bool* option, const QString& optionText) {
    QFileDialog dialog(parent, title);
    dialog.setObjectName(save ? "SaveDialog" : "OpenDialog");
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilter(filter);
    if (!suggested.isEmpty()) {
        dialog.selectFile(suggested);
        dialog.setDefaultSuffix(QFileInfo(suggested).suffix());  // for a name typed without
    }
    QCheckBox* check = nullptr;
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()); grid && option) {
        check = new QCheckBox(optionText, &dialog);
        check->setObjectName("OptionCheck");
        auto describe = [check, optionText] {
            check->setAccessibleName(optionText + (check->isChecked() ? ": on" : ": off"));
        };
        QObject::connect(check, &QCheckBox::toggled, check, describe);
        describe();
        grid->addWidget(check, grid->rowCount(), 0, 1, grid->columnCount());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    if (option)
        *option = check && check->isChecked();
    return dialog.selectedFiles().constFirst();
}

}  // namespace karvex
