// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <string>
#include <vector>

#include "platform/centred_dialog.h"
#include "trucks/examine.h"

class QListView;
class QMenu;
class QStringListModel;

namespace karvex {

class Session;

// Form9, the collector's results window: the files that the entry last right-clicked names
// (a truck definition's models, or every name a model holds), one per line, with the
// entry's name as its caption. The examination runs as the window is built; the window is
// then shown only to be read. Its list's right-click menu (and Ctrl+C) copies the names,
// selects the entries of those names in the main window, and saves the names as a response
// file, so that an add-on archive can be built from them.
class Form9 : public platform::CentredDialog {
    Q_OBJECT
  public:
    // Examines the recorded entry (State().EntryIndex) with `analysis`. The session is
    // busy meanwhile; Escape in the main window stops it.
    Form9(Session& session, Analysis analysis, QWidget* parent = nullptr);

    // How the examination ended; the list holds what was found until then.
    const Result& Outcome() const { return m_outcome; }
    const std::vector<std::string>& Names() const { return m_names; }

    void menuCopy_Click();    // the names, one per line, to the clipboard
    void menuSelect_Click();  // selects the entries of those names in the main window
    void menuSave_Click();    // asks for a file, then SaveResponseFile
    // Writes the names of ResponseListOf, one CR LF line each, through a new file put into
    // place whole; a message then names the names left out. False, after a message naming
    // the file and the reason, when it cannot be written, is the archive being examined, or
    // would list none of the names found (nothing is written then).
    bool SaveResponseFile(const QString& path);

  protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    void Form_Load(Analysis analysis);

    Session& m_session;
    std::vector<std::string> m_names;
    Result m_outcome;

    QListView* List1;          // the names found
    QStringListModel* m_list;  // List1's items
    QMenu* menuList;           // List1's right-click menu
};

}  // namespace karvex
