// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the texture and palette viewers share to put an imported file into the archive.

#include <QString>

#include <string>
#include <string_view>

#include "core/archive_edit.h"

class QWidget;

namespace karvex {

class Session;

// Asks "Replace ENTRY with FILE?" and, on Yes, has entry `row` (named `name`, 8-bit) replaced
// by `bytes` through `edit`. The row the entry has in the reloaded archive; -1 when nothing
// was changed (No, a refusal the edit told of, or the data could not be kept, after a
// message).
int ReplaceEntry(QWidget* parent, const EditRunner& edit, const std::string& name, int row,
                 const QString& file, std::string_view bytes);

// Imports the PNG `file` into the texture entry `row` (named `name`, 8-bit) through the
// palette the archive gives that texture, then ReplaceEntry. The row the entry has in the
// reloaded archive; -1 when nothing was changed (after a message where there is one).
int ReplaceTexture(QWidget* parent, const Session& session, const EditRunner& edit,
                   const std::string& name, int row, const QString& file, bool dither);

// The viewers' message for a failed step: the text with the exclamation icon.
void ShowRefusal(QWidget* parent, const std::string& text);

// A file chosen in the program's own file dialog, `filter` its name filter; for `save` a
// file to be written (`suggested` its name), else one that exists. With `option`, a check
// box `optionText` (objectName "OptionCheck", unticked) stands in a row below the dialog's
// other controls, its accessible name "TEXT: on" or "TEXT: off", and `option` gets its
// state. Empty when cancelled.
QString ChooseFile(QWidget* parent, const QString& title, const QString& filter, bool save,
                   const QString& suggested = {}, bool* option = nullptr,
                   const QString& optionText = {});

}  // namespace karvex
