// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QComboBox>
#include <QListView>
#include <QString>
#include <QStringList>
#include <QTreeView>

class QFileSystemModel;

namespace karvex::platform {

// The three lists a file dialog is made of: volumes, the folder tree, and the files of one
// folder. Paths are absolute, with '/' separators, and end in a separator only for the root.

// The mounted volumes that are ready, by root path ("/", "/home  [data]" when the volume has
// a name). Starts on the volume that holds the current folder.
class DriveList : public QComboBox {
    Q_OBJECT
  public:
    explicit DriveList(QWidget* parent = nullptr);

    // Root path of the chosen volume.
    QString drive() const;
    // Chooses the volume that holds `path` (the one with the longest root path that contains
    // it). Does not emit driveChanged: only the user's own choice does.
    void selectDriveOf(const QString& path);

  signals:
    // The user chose a volume other than the one chosen before.
    void driveChanged(const QString& rootPath);

  private:
    QString m_drive;  // the choice last reported, to tell a new choice from the same again
};

// The folder tree from the root down, folders only. Starts at the current folder.
class FolderList : public QTreeView {
    Q_OBJECT
  public:
    explicit FolderList(QWidget* parent = nullptr);

    QString path() const { return m_path; }
    // Opens the tree down to `folder`, selects it and scrolls it into view. A folder that
    // does not exist is ignored.
    void setPath(const QString& folder);

  signals:
    // The current folder changed, through the user or setPath.
    void pathChanged(const QString& path);

  private:
    void currentFolderChanged(const QModelIndex& current);
    void folderLoaded(const QString& folder);

    QFileSystemModel* m_model;
    QString m_path;
};

// The files of one folder that match a wildcard pattern, sorted by name. Matching ignores
// letter case (MTM2.POD matches "*.pod"); files that do not match are left out. Single
// selection unless setSelectionMode says otherwise.
//
// The folder is read in a background thread: fileNames() may be empty or incomplete until
// loaded() has been emitted for it (isLoaded() says whether it has). A new pattern applies
// at once.
class FileList : public QListView {
    Q_OBJECT
  public:
    explicit FileList(QWidget* parent = nullptr);

    QString path() const { return m_path; }
    // Shows the files of `folder`; nothing is current or selected afterwards.
    void setPath(const QString& folder);
    QString pattern() const { return m_pattern; }
    // Such as "*.pod"; an empty pattern shows every file.
    void setPattern(const QString& pattern);

    // Name of the current file when it is selected, else empty (a list that only has the
    // keyboard focus on an item has no file chosen).
    QString fileName() const;
    int selectedCount() const;
    QStringList selectedFileNames() const;  // in list order
    QStringList fileNames() const;          // everything shown, in list order
    bool isLoaded() const { return m_loaded; }

  signals:
    void clicked(const QString& fileName);
    void doubleClicked(const QString& fileName);
    // The folder set last has been read and the list shows its files.
    void loaded();

  private:
    void folderLoaded(const QString& folder);

    QFileSystemModel* m_model;
    QString m_path;
    QString m_pattern;
    bool m_loaded = false;
};

// The drive, folder and file lists as the Open and Make dialogs lay them out side by side
// (Drive1, Dir1, File1), all three at the current folder. `filesSpoken` is what a screen
// reader calls the file list.
struct FolderAndFiles {
    DriveList* Drive1;
    FolderList* Dir1;
    FileList* File1;
};
FolderAndFiles CreateFolderAndFiles(QWidget* parent, const QString& filesSpoken);

}  // namespace karvex::platform
