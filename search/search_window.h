// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QPixmap>

#include "platform/centred_dialog.h"
#include "search/search.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QToolButton;

namespace karvex {

class Session;
class ResultColumn;

// Form12, the search window: finds the entries of the open archive whose name, displayed
// size or data holds a text, lists them with their sizes and counts them, and with "Select
// matching files" selects them in the main window. It opens collapsed to the search
// controls and expands to show the results when a search finds something, or by its arrow
// button. A running search stops at once when Search is pressed again (which then starts
// the new one), or on Cancel, Escape or the close box.
class Form12 : public platform::CentredDialog {
    Q_OBJECT
  public:
    explicit Form12(Session& session, QWidget* parent = nullptr);

    // The window's heights in twips, its frame and title bar included: collapsed to the
    // search controls, and expanded to the result lists.
    static constexpr int kCollapsedTwips = 1950;
    static constexpr int kExpandedTwips = 6060;

    void Command3D1_Click();  // Search (or, while one runs: stop it and start again)
    void Command3D2_Click();  // Cancel: closes the window
    void Command3D3_Click();  // expands or collapses the window
    void Check3D4_Click();    // "Search POD contents" clears "Search by size"

    bool IsSearching() const { return m_searching; }

  protected:
    void done(int result) override;
    void showEvent(QShowEvent* event) override;

  private:
    void Form_Load();
    void CreateControls();
    void CreateResultLists();
    void SetExpanded(bool expanded);
    // One search with the box's text and the options; a stop request ends it early.
    void RunSearch();
    // Shows the results found so far, the counter and `progress` (Label4); at most every
    // few tens of milliseconds while a search runs, so that long searches stay fast.
    void ShowProgress(const SearchResults& soFar, const std::string& progress, bool now);
    // The label's text, and its accessible name with it.
    void ShowText(QLabel* label, const QString& text);

    Session& m_session;
    bool m_expanded = false;
    bool m_searching = false;
    bool m_stopRequested = false;     // the running search is to end at the next block
    bool m_searchAgain = false;       // Search was pressed while one ran
    int m_shownRows = 0;              // result rows already in the lists
    std::size_t m_shownSelected = 0;  // found entries already selected in the main window
    QElapsedTimer m_sinceShown;       // since the progress was last shown

    QLabel* Label1;           // "Search for:"
    QLabel* Label2;           // the counter, "N Found"
    QLineEdit* Text1;         // the text to search for
    QPushButton* Command3D1;  // "Search"
    QPushButton* Command3D2;  // "Cancel"
    QCheckBox* Check3D2;      // "Match case"
    QLabel* Label4;           // the progress text
    QCheckBox* Check3D4;      // "Search POD contents"
    QCheckBox* Check3D3;      // "Search by size"
    QCheckBox* Check3D1;      // "Select matching files"
    QToolButton* Command3D3;  // the arrow: expands (down) or collapses (up) the window
    QLabel* Label3;           // the lists' header, "Name" and "Size"
    QListView* List1;         // the names found
    QListView* List2;         // their sizes, row for row
    ResultColumn* m_names;    // List1's rows
    ResultColumn* m_sizes;    // List2's rows
    QPixmap Picture1;         // the up arrow
    QPixmap Picture2;         // the down arrow
};

}  // namespace karvex
