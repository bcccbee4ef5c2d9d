// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QSettings>
#include <QTimer>
#include <QToolButton>
#include <QWidget>
#include <array>

#include "core/archive_state.h"
#include "core/entry_table.h"
#include "core/host.h"
#include "core/pod_core.h"
#include "core/session.h"
#include "mainwindow/artwork.h"
#include "mainwindow/entry_model.h"
#include "platform/private_folder.h"
#include "viewers/texture.h"

class QDragEnterEvent;
class QDropEvent;
class QKeyEvent;
class QUrl;
class QMimeData;
class QAction;
class QMenu;

namespace karvex {

// Form1, the main window: the button row, the logo, the status line, the two file lists
// over the session's entry table and the status row with its lamp. It owns the program's
// life and is the Host through which the session's routines reach the screen.
class Form1 : public QWidget, public Host {
    Q_OBJECT
  public:
    explicit Form1(Session& session, QWidget* parent = nullptr);
    ~Form1() override;

    // The start-up with the program's command line (one path, possibly quoted). False when
    // the program is to end: a named file was not found.
    bool Startup(const QString& commandLine);

    // Host: how the core routines reach the window.
    void Yield() override;
    void SetLamp(Lamp lamp) override;
    void SetTimerInterval(int milliseconds) override;
    void SetStatus(const std::string& text) override;
    void SetListsShown(bool shown) override;
    void SetCurrentFolder(const std::string& folder) override;
    bool AskYesNo(const std::string& text, const std::string& caption) override;
    void ShowMessage(const std::string& text, const std::string& caption, Icon icon) override;

    Lamp LampColour() const { return m_lamp; }

    // Handlers, named after their control and event.
    void Command3D1_Click();  // Open
    void Command3D2_Click();  // Make
    void Command3D3_Click();  // Extract
    void Command3D4_Click();  // About
    void Command3D5_Click();  // Exit
    void Command3D6_Click();  // Select
    void Command1_Click();    // Edit the comment
    void Picture6_Click();    // the logo: next logo mode
    void Timer1_Timer();      // one step of the logo animation

    // The lists' pop-up menu. A right-click (or the context-menu key, or Shift+F10, in the
    // focused list) records the lowest-indexed selected entry, enables the items that suit
    // it and shows menuPopup at `where` (global position).
    void List1_MouseDown(const QPoint& where);
    void List2_MouseDown(const QPoint& where);
    void menuView_Click();      // the viewer that suits the recorded entry
    void menuNotepad_Click();   // a copy of the recorded entry in the text editor
    void menuExamine_Click();   // the files a truck or model names, in the results window
    void menuSearch_Click();    // the search window
    void menuTextures_Click();  // the Textures window: every texture as a thumbnail
    // The edits of the open archive, for the recorded entry; each runs only while an archive
    // (not a response file) is open and an entry is recorded, and does nothing when the
    // user cancels or answers No.
    void menuReplace_Click();  // its data by a file chosen in a file dialog
    void menuRename_Click();   // a new name, typed into an input box
    void menuDelete_Click();   // every selected entry, after a question

    // Opens an archive (.pod) or a response file (.lst) as the Open command does; a file
    // dropped on the window or chosen among the recent files comes here. False when the
    // window is busy, the file is of neither kind or it is not there (after a message).
    bool OpenFile(QString path);  // a copy: the caller's may go while the open yields
    // The archives and response files opened last, the latest first, at most ten.
    static QStringList RecentFiles();
    // The drag of the selected entries: extracted into a fresh folder inside the private
    // folder, as text/uri-list of what they became there (folders at their top level).
    // Null when nothing is to be dragged, or the user declined a drag of over 200 MiB.
    QMimeData* DragOutData();
    // True when the open archive has the size and modification time it had when it was
    // opened (or no archive is open). Otherwise asks whether to reload it, reloads it on
    // Yes, and is false either way: the command asked for does not run on a changed file.
    bool ArchiveUnchanged();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // Closing while a command runs stops it first, as Escape does; the window closes
    // once the command has ended.
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void CreateButtonRow();
    void CreateStatusLine();
    void CreateLists();
    void CreateStatusRow();
    void ShowRow();
    // Sets a status-row value and the name a screen reader says for it ("Archive size 151,769").
    static void ShowValue(QLabel* label, const QString& caption, const QString& value);
    // Runs an open sequence of the file the state names, with the session busy; a file that
    // opened completely joins the recent files.
    Result RunOpenSequence(bool archive);
    // The same for the archive or response file at `path` (absolute), which the state then
    // names.
    Result OpenPath(const std::filesystem::path& path);
    // Runs a command's core work with the session busy and cancellable with Escape; ends
    // the program afterwards when Exit or the close box was used meanwhile.
    template <typename Work>
    void RunCommand(Work work);
    // Mirrors the selection of list `source` (1 or 2) into the other list and the table,
    // and shows the count.
    void SyncSelection(int source);
    // Shows in the lists the selection the table holds, after another window changed it.
    void ShowTableSelection();
    void CreateMenu();
    // Fills the selection record with the lowest-indexed selected entry and sets the menu
    // items' states.
    void RecordSelection();
    // The same for entry i (the table's count: none).
    void RecordEntry(int i);
    // Enter in a list: View of the entry that has the focus, when it has a viewer.
    void ViewFocusedEntry(QListView* list);
    // Copies the recorded entry alone, beneath the open folder `folder` whose path is `path`'s
    // (ViewMode 1: `path` is the copy itself) or `path` (ViewMode 0: the copy keeps the
    // entry's name).
    Result CopyRecordedEntry(int folder, const std::string& path, int viewMode);
    // A folder for copies: the private folder itself (its handle stays the folder's), or
    // with `subfolder` a fresh PREFIX-XXXXXX in it (the caller closes the handle); its path
    // in `path`. -1 after a message that says there is no folder to copy `what` into, and
    // why. `renewed` is set when a new private folder had to be made.
    int CopyFolder(const QString& subfolder, QString& path, const char* what, bool& renewed);
    // A copy out of the archive of more than 200 MiB asks first: "`holds` N MiB. `copied`",
    // then "Go on?". True for a smaller copy, or when the user said Yes.
    bool AllowLargeCopy(std::int64_t bytes, const std::string& holds, const std::string& copied);
    // AllowLargeCopy for the recorded entry alone.
    bool AllowEntryCopy();
    // Runs a modal window from the menu with the logo timer paused.
    template <typename Show>
    void WithTimerPaused(Show show);
    // View of a sound or a picture: copies the recorded entry into the private folder as
    // `copyName`, runs `show` on the copy's path and deletes the copy afterwards. Nothing
    // happens for an empty entry.
    template <typename Show>
    void ViewThroughCopy(const char* copyName, Show show);
    // Puts the latest status text into Label5, if it is not there yet.
    void ShowPendingStatus();
    // Shortcuts, drops, the drag out of List1, the recent files and the archive's stamp.
    void CreateComforts();
    // The program's one stored preference, the recent files.
    static QSettings Settings();
    void RememberRecent(const QString& path);
    void ShowRecentFiles(const QPoint& where);
    // The archive size's tool tip, in KiB or MiB.
    void ShowSizeTip();

    // True while an archive is open: PodPattern "*.pod" and a file name ending in ".pod".
    bool ArchiveOpen() const;
    // True when ArchiveOpen and the record names an entry of the table.
    bool EntryEditable() const;
    // Whether a menu edit of the record may start: EntryEditable, no command running, and the
    // archive as it was opened (ArchiveUnchanged asks to reload it otherwise).
    bool EntryEditStarts();
    // Delete and F2 in a list: the record is made as a right-click makes it, then Delete or
    // Rename runs. False for any other key.
    bool EditKey(const QKeyEvent* key);
    // A drop whose first file is not an archive or response file: the dropped files (those
    // beneath a dropped folder too) are added to the open archive after "Add N files to
    // NAME.POD?", each that is there already after "Replace ENTRY?" (Yes, Yes to All, No,
    // Cancel). Nothing is changed when a name is outside Latin-1 (after a message naming it)
    // or the user says No to the first question or Cancel to any other.
    void AddDroppedFiles(const QList<QUrl>& urls);
    // The Add changes for the dropped files in `urls`, in the order of the drop, a folder's
    // files sorted by name. False after a message when a name is outside Latin-1.
    bool DroppedFiles(const QList<QUrl>& urls, std::vector<EditChange>& files);
    // Turns the dropped files whose names the table (or an earlier file of the drop) holds
    // into Replace changes, or leaves them out, as the user answers; the rest stay Add
    // changes. False when the user cancelled.
    bool AskReplacements(std::vector<EditChange>& files, EditPlan& plan);
    // `text` as 8-bit text in `latin1`; false, after a message naming it, when a character
    // of it is outside Latin-1.
    bool ToEntryName(const QString& text, std::string& latin1);
    // Runs `plan` through the session with the window busy; once it is done, the reloaded
    // table is shown with the entries added, replaced or renamed selected. False when it was
    // refused or cancelled; `changed` gets the rows changed.
    bool RunEdit(const EditPlan& plan, std::vector<int>& changed);
    bool RunEdit(const EditPlan& plan) {
        std::vector<int> changed;
        return RunEdit(plan, changed);
    }
    // The edits a viewer may apply: none unless an archive (.pod) is open as it was loaded.
    EditRunner ViewerEdits();
    // Selects `rows` of the table in both lists and scrolls the first of them into view.
    void SelectRows(const std::vector<int>& rows);

    Session& m_session;
    ArchiveState& m_state;
    EntryTable& m_table;
    StatusRow m_row;                   // size, count and the Make, Extract and Edit buttons' states
    EntryModel m_names;                // what List1 shows
    EntryModel m_sizes;                // what List2 shows
    bool m_exitRequested = false;      // Exit or the close box was used while a command ran
    QWidget* m_hiddenFocus = nullptr;  // the list that had the focus when the lists were hidden
    platform::PrivateFolder m_privateFolder;  // the viewers' and the editor's copies
    QElapsedTimer m_yieldClock;               // when the last yield processed events
    std::string m_status;                     // the status line's latest text
    bool m_statusPending = false;             // m_status is not in Label5 yet

    QToolButton* Command3D1;  // Open
    QToolButton* Command3D2;  // Make
    QToolButton* Command3D3;  // Extract
    QLabel* Picture6;         // the animated logo
    QToolButton* Command3D4;  // About
    QToolButton* Command3D5;  // Exit
    QToolButton* Command3D6;  // Select; lies outside the client area, reachable from code
    QLabel* Label5;           // the archive comment or a status text
    QPushButton* Command1;    // Edit the comment
    QWidget* Label6;          // the column header: "Name" at the left, "Size" at the right
    QListView* List1;         // entry names
    QListView* List2;         // entry sizes
    QLabel* Label9;           // " Loading, Please Wait..." over the lists during a load
    QLabel* Label1;           // "Size"
    QLabel* Label3;           // archive size
    QLabel* Label2;           // "Files"
    QLabel* Label4;           // number of files
    QLabel* Label7;           // "Selected"
    QLabel* Label8;           // number of selected files
    QLabel* Picture1;         // the status lamp
    QTimer* Timer1;           // drives the logo animation
    QMenu* menuPopup;         // "Popup": the lists' pop-up menu
    QAction* menuView;        // "&View"
    QAction* menuNotepad;     // "&Open in Notepad": the copy in the text editor
    QAction* menuExamine;     // "&Examine": the truck collector
    QAction* menuDiv1;        // the separator
    QAction* menuSearch;      // "&Search..."
    QAction* menuDiv2;        // the separator before the edits
    QAction* menuReplace;     // "Replace with File..."
    QAction* menuRename;      // "Rename..."
    QAction* menuDelete;      // "Delete"
    QAction* menuDiv3;        // the separator before "Textures..."
    QAction* menuTextures;    // "&Textures...", Ctrl+T

    std::array<QPixmap, kLogoImages> Picture7;  // the logo images
    int m_logoMode = 1;                         // LogoMode: 1 to 4, what the logo shows
    int m_logoFrame = 1;                        // LogoFrame: 1 to 11, the animation's frame
    Lamp m_lamp = Lamp::Green;
    int m_syncSource = 0;     // SyncSource: the list whose click is being mirrored, or 0
    int m_selectedCount = 0;  // SelectedCount
};

template <typename Work>
void Form1::RunCommand(Work work) {
    {
        BusyScope busy(m_session);
        work();
    }
    if (m_exitRequested)
        Command3D5_Click();
}

}  // namespace karvex
