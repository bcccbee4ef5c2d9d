// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/file_lists.h"

#include "platform/naming.h"
#include "platform/twips.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QItemSelectionModel>
#include <QStorageInfo>

#include <algorithm>

namespace karvex::platform {

namespace {

// Absolute, with '/' separators, no "." or ".." parts, and a trailing separator only on a root.
QString CleanFolder(const QString& folder) {
    return QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
}

// True when `path` is `folder` itself or lies below it, compared by whole components.
bool IsWithin(const QString& path, const QString& folder) {
    if (path == folder)
        return true;
    const QString prefix = folder.endsWith('/') ? folder : folder + '/';
    return path.startsWith(prefix);
}

}  // namespace

// --- DriveList ---

DriveList::DriveList(QWidget* parent) : QComboBox(parent) {
    // Pseudo file systems are left out by QStorageInfo already; a single file bound into
    // place (as containers do with /etc/hosts) is not somewhere to browse either.
    QList<QStorageInfo> volumes;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady() && QFileInfo(volume.rootPath()).isDir())
            volumes.append(volume);
    }
    std::sort(volumes.begin(), volumes.end(), [](const QStorageInfo& a, const QStorageInfo& b) {
        return a.rootPath() < b.rootPath();
    });

    for (const QStorageInfo& volume : volumes) {
        const QString root = volume.rootPath();
        if (findData(root) >= 0)
            continue;  // the same place mounted twice
        const QString name = volume.name();
        addItem(name.isEmpty() ? root : root + "  [" + name + "]", root);
    }
    // The root is always offered, so that every folder has a volume to belong to.
    if (findData(QDir::rootPath()) < 0)
        insertItem(0, QDir::rootPath(), QDir::rootPath());

    selectDriveOf(QDir::currentPath());
    connect(this, &QComboBox::activated, this, [this] {
        const QString root = drive();
        if (root == m_drive)
            return;
        m_drive = root;
        emit driveChanged(root);
    });
}

QString DriveList::drive() const {
    return currentData().toString();
}

void DriveList::selectDriveOf(const QString& path) {
    const QString clean = CleanFolder(path);
    int best = -1;
    qsizetype bestLength = -1;
    for (int i = 0; i < count(); ++i) {
        const QString root = itemData(i).toString();
        if (IsWithin(clean, root) && root.size() > bestLength) {
            best = i;
            bestLength = root.size();
        }
    }
    if (best >= 0)
        setCurrentIndex(best);
    m_drive = drive();
}

// --- FolderList ---

FolderList::FolderList(QWidget* parent) : QTreeView(parent), m_model(new QFileSystemModel(this)) {
    m_model->setFilter(QDir::Dirs | QDir::Drives | QDir::NoDotAndDotDot);
    // Until a root path is set the model reads no folder at all.
    m_model->setRootPath(QDir::rootPath());
    setModel(m_model);
    setHeaderHidden(true);
    for (int column = 1; column < m_model->columnCount(); ++column)
        hideColumn(column);
    setEditTriggers(NoEditTriggers);
    setSelectionMode(SingleSelection);

    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            &FolderList::currentFolderChanged);
    connect(m_model, &QFileSystemModel::directoryLoaded, this, &FolderList::folderLoaded);
    setPath(QDir::currentPath());
}

void FolderList::setPath(const QString& folder) {
    const QModelIndex index = m_model->index(CleanFolder(folder));
    if (!index.isValid())
        return;
    setCurrentIndex(index);  // reports the change through currentFolderChanged
    expand(index);
    scrollTo(index);  // also opens every folder above it
}

void FolderList::currentFolderChanged(const QModelIndex& current) {
    if (!current.isValid())
        return;
    const QString path = QDir::cleanPath(m_model->filePath(current));
    if (path == m_path)
        return;
    m_path = path;
    emit pathChanged(path);
}

void FolderList::folderLoaded(const QString& folder) {
    // The folders above the current one fill in after it was selected and push it down the
    // tree. The model sorts them later on a zero timer; sort now, then bring it back into view.
    if (!IsWithin(m_path, CleanFolder(folder)))
        return;
    m_model->sort(0);
    if (currentIndex().isValid())
        scrollTo(currentIndex());
}

// --- FileList ---

FileList::FileList(QWidget* parent) : QListView(parent), m_model(new QFileSystemModel(this)) {
    m_model->setFilter(QDir::Files);
    m_model->setNameFilterDisables(false);  // hide what does not match, rather than grey it
    setModel(m_model);
    setEditTriggers(NoEditTriggers);
    setSelectionMode(SingleSelection);
    setUniformItemSizes(true);

    connect(m_model, &QFileSystemModel::directoryLoaded, this, &FileList::folderLoaded);
    connect(this, &QAbstractItemView::clicked, this,
            [this](const QModelIndex& index) { emit clicked(m_model->fileName(index)); });
    connect(this, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { emit doubleClicked(m_model->fileName(index)); });
    setPath(QDir::currentPath());
}

void FileList::setPath(const QString& folder) {
    const QString clean = CleanFolder(folder);
    if (clean == m_path || !QFileInfo(clean).isDir())
        return;
    m_path = clean;
    m_loaded = false;
    selectionModel()->clear();  // a file chosen in the old folder is no choice in the new one
    setRootIndex(m_model->setRootPath(clean));
}

void FileList::setPattern(const QString& pattern) {
    m_pattern = pattern;
    m_model->setNameFilters(pattern.isEmpty() ? QStringList() : QStringList{pattern});
    // The model would filter again on its next sort, queued for later; sorting now makes the
    // list right as soon as this returns.
    m_model->sort(0);
}

QString FileList::fileName() const {
    const QModelIndex current = currentIndex();
    if (!current.isValid() || !selectionModel()->isSelected(current))
        return {};
    return m_model->fileName(current);
}

int FileList::selectedCount() const {
    return static_cast<int>(selectedIndexes().size());
}

QStringList FileList::selectedFileNames() const {
    QModelIndexList indexes = selectedIndexes();
    std::sort(indexes.begin(), indexes.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    QStringList names;
    for (const QModelIndex& index : indexes)
        names.append(m_model->fileName(index));
    return names;
}

QStringList FileList::fileNames() const {
    QStringList names;
    const QModelIndex root = rootIndex();
    const int rows = m_model->rowCount(root);
    for (int row = 0; row < rows; ++row)
        names.append(m_model->fileName(m_model->index(row, 0, root)));
    return names;
}

void FileList::folderLoaded(const QString& folder) {
    if (CleanFolder(folder) != m_path)
        return;  // a folder left before it was read
    // The rows are in, but the model sorts them on a zero timer; sort now so that whoever
    // waits for loaded() sees them in order.
    m_model->sort(0);
    m_loaded = true;
    emit loaded();
}

FolderAndFiles CreateFolderAndFiles(QWidget* parent, const QString& filesSpoken) {
    FolderAndFiles lists{new DriveList(parent), new FolderList(parent), new FileList(parent)};
    Name(lists.Drive1, "Drive1", "Drive");
    Place(lists.Drive1, 0, 0, 3030, 315);
    Name(lists.Dir1, "Dir1", "Folders");
    Place(lists.Dir1, 0, 360, 3030, 3015);
    Name(lists.File1, "File1", filesSpoken);
    Place(lists.File1, 3105, 0, 2085, 3015);
    lists.File1->setPath(lists.Dir1->path());
    return lists;
}

}  // namespace karvex::platform
