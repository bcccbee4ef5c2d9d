// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewers/textures_window.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <tuple>

#include "core/number_text.h"
#include "core/session.h"
#include "core/text.h"
#include "platform/latin1.h"
#include "platform/naming.h"
#include "viewers/texture_export.h"
#include "viewers/texture_thumbnails.h"
#include "viewers/texture_viewer.h"
#include "viewers/viewer_edits.h"

namespace karvex {

using platform::Named;

namespace {

constexpr int kSide = TextureThumbnails::kThumbnailSide;
constexpr int kMargin = 4;  // around the thumbnail's square inside its cell
constexpr int kCellWidth = kSide + 2 * kMargin + 12;

// One cell: the thumbnail centred in a square of the largest side, its name elided below.
// The size comes without asking the model, so laying out thousands decodes none.
class ThumbnailDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
        return {kCellWidth, kSide + 3 * kMargin + option.fontMetrics.height()};
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        // The style draws the cell, its selection, focus and the name at the bottom, in the
        // colours it chooses; the thumbnail goes into the square above the name.
        QStyleOptionViewItem cell = option;
        initStyleOption(&cell, index);
        cell.icon = {};
        cell.features &= ~QStyleOptionViewItem::HasDecoration;
        cell.displayAlignment = Qt::AlignHCenter | Qt::AlignBottom;
        cell.textElideMode = Qt::ElideMiddle;
        QStyle* style = option.widget ? option.widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, option.widget);
        const QPixmap thumbnail = index.data(Qt::DecorationRole).value<QPixmap>();
        const QRect& r = option.rect;
        painter->drawPixmap(r.x() + (r.width() - thumbnail.width()) / 2,
                            r.y() + kMargin + (kSide - thumbnail.height()) / 2, thumbnail);
    }
};

}  // namespace

// --- The grid ------------------------------------------------------------------------------

TextureGrid::TextureGrid(QWidget* parent) : QListView(parent) {
    setViewMode(IconMode);
    setMovement(Static);
    setResizeMode(Adjust);
    setUniformItemSizes(true);
    setSelectionMode(ExtendedSelection);
    setSpacing(2);
    setDragDropMode(DropOnly);
    setDropIndicatorShown(false);
    setItemDelegate(new ThumbnailDelegate(this));
}

int TextureGrid::DropRow(const QDropEvent* event, QString& path) const {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!acceptDrops() || urls.size() != 1 || !urls.front().isLocalFile())
        return -1;
    path = urls.front().toLocalFile();
    if (!path.endsWith(".png", Qt::CaseInsensitive))
        return -1;
    const QModelIndex target = indexAt(event->position().toPoint());
    return target.isValid() ? target.row() : -1;
}

void TextureGrid::dragEnterEvent(QDragEnterEvent* event) {
    if (acceptDrops() && event->mimeData()->hasUrls())
        event->acceptProposedAction();
    else
        event->ignore();
}

void TextureGrid::dragMoveEvent(QDragMoveEvent* event) {
    QString path;
    const int row = DropRow(event, path);
    if (row >= 0) {
        selectionModel()->setCurrentIndex(model()->index(row, 0), QItemSelectionModel::NoUpdate);
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void TextureGrid::dropEvent(QDropEvent* event) {
    QString path;
    const int row = DropRow(event, path);
    if (row < 0) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    emit pngDropped(row, path);
}

// --- The window ----------------------------------------------------------------------------

TexturesWindow::TexturesWindow(Session& session, QWidget* parent)
    : CentredDialog(parent), m_session(session), m_model(new TextureThumbnails(session, this)) {
    setObjectName("TexturesWindow");
    setWindowTitle(platform::WindowCaption("Textures"));
    setModal(true);
    setSizeGripEnabled(true);

    auto* label = Named(new QLabel("&Palette:", this), "PaletteLabel");
    PaletteChooser = Named(new QComboBox(this), "PaletteChooser");
    label->setBuddy(PaletteChooser);
    FillChooser();
    CountLabel = Named(new QLabel(this), "CountLabel");
    Grid = Named(new TextureGrid(this), "Grid");
    Grid->setModel(m_model);
    Grid->setAccessibleName("Textures");
    Grid->setAcceptDrops(false);
    StatusLabel = Named(new QLabel(this), "StatusLabel");
    SaveButton = Named(new QPushButton("&Save as PNGs...", this), "SaveButton");
    SaveButton->setEnabled(false);
    CloseButton = Named(new QPushButton("Close", this), "CloseButton");
    SaveButton->setAutoDefault(false);
    CloseButton->setAutoDefault(false);

    auto* top = new QHBoxLayout;
    top->addWidget(label);
    top->addWidget(PaletteChooser, 1);
    top->addSpacing(12);
    top->addWidget(CountLabel);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(StatusLabel, 1);
    bottom->addWidget(SaveButton);
    bottom->addWidget(CloseButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(Grid, 1);
    layout->addLayout(bottom);
    // Five thumbnails of the largest side across, four rows down, to start with.
    resize(QSize(5 * (kCellWidth + 4) + 40, 4 * (kSide + 40) + 90)
               .boundedTo(screen()->availableGeometry().size() * 0.9));

    connect(PaletteChooser, &QComboBox::currentIndexChanged, this,
            &TexturesWindow::PaletteChooser_Changed);
    connect(Grid, &QAbstractItemView::activated, this,
            [this](const QModelIndex& index) { ViewTexture(index.row()); });
    // After the drop has ended: the file manager is not kept waiting on the question.
    connect(Grid, &TextureGrid::pngDropped, this, &TexturesWindow::ReplaceFrom,
            Qt::QueuedConnection);
    connect(m_model, &QAbstractItemModel::modelAboutToBeReset, this,
            [this] { m_scrolled = Grid->verticalScrollBar()->value(); });
    connect(m_model, &QAbstractItemModel::modelReset, this, &TexturesWindow::Reloaded);
    connect(Grid->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { SaveButton->setEnabled(Grid->selectionModel()->hasSelection()); });
    connect(SaveButton, &QPushButton::clicked, this, &TexturesWindow::SaveButton_Click);
    connect(new QShortcut(QKeySequence::Save, this), &QShortcut::activated, SaveButton,
            &QPushButton::click);
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::close);
    PaletteChooser_Changed(0);
    ShowCount();
}

void TexturesWindow::FillChooser() {
    // After a reload the palettes may stand elsewhere: the one chosen is found by its name.
    const QString chosen = PaletteChooser->currentIndex() > 0 ? PaletteChooser->currentText() : "";
    const QSignalBlocker quiet(PaletteChooser);
    PaletteChooser->clear();
    m_palettes.clear();
    PaletteChooser->addItem("As the game would");
    const EntryTable& table = m_session.Table();
    for (int i = 0; i < table.Count(); ++i) {
        if (ContainsNoCase(table.Name(i), ".act")) {
            m_palettes.push_back(i);
            PaletteChooser->addItem(platform::FromLatin1(Trim(table.Name(i))));
        }
    }
    PaletteChooser->setCurrentIndex(
        std::max(0, chosen.isEmpty() ? 0 : PaletteChooser->findText(chosen)));
}

void TexturesWindow::SetEditor(EditRunner edit) {
    m_edit = std::move(edit);
    Grid->setAcceptDrops(m_edit != nullptr);
}

void TexturesWindow::PaletteChooser_Changed(int item) {
    PaletteChooser->setAccessibleName("Palette: " + PaletteChooser->itemText(item));
    m_model->SetPalette(item > 0 ? m_palettes[static_cast<std::size_t>(item - 1)] : -1);
}

void TexturesWindow::ShowCount() {
    const int count = m_model->rowCount();
    CountLabel->setText(count == 0 ? QString("No textures") : Count(count));
}

void TexturesWindow::Reloaded() {
    FillChooser();
    PaletteChooser_Changed(PaletteChooser->currentIndex());
    ShowCount();
    // Where the grid stood, once it is laid out anew.
    QTimer::singleShot(0, this, [this] { Grid->verticalScrollBar()->setValue(m_scrolled); });
}

void TexturesWindow::ViewTexture(int row) {
    if (row < 0 || row >= m_model->rowCount())
        return;
    // The viewer reads the entry the main window recorded; it is put back afterwards.
    ArchiveState& state = m_session.State();
    const EntryTable& table = m_session.Table();
    const auto recorded =
        std::tuple(state.EntryIndex, state.SelectedName, state.SelectedSize, state.SelectedOffset);
    const int entry = m_model->Entry(row);
    state.EntryIndex = entry;
    state.SelectedName = table.Name(entry);
    state.SelectedSize = static_cast<std::int32_t>(table.SizeOf(entry));
    state.SelectedOffset = static_cast<std::int32_t>(table.OffsetOf(entry));
    {
        Form5 viewer(m_session, this);
        viewer.SetEditor(m_edit);
        viewer.exec();
    }
    std::tie(state.EntryIndex, state.SelectedName, state.SelectedSize, state.SelectedOffset) =
        recorded;
}

std::vector<int> TexturesWindow::SelectedEntries() const {
    std::vector<int> entries;
    for (const QModelIndex& index : Grid->selectionModel()->selectedIndexes())
        entries.push_back(m_model->Entry(index.row()));
    std::sort(entries.begin(), entries.end());
    return entries;
}

void TexturesWindow::SaveButton_Click() {
    QFileDialog dialog(this, "Save as PNGs into");
    dialog.setObjectName("FolderDialog");
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        SaveSelection(dialog.selectedFiles().constFirst());
}

bool TexturesWindow::SaveSelection(const QString& folder) {
    const std::vector<int> entries = SelectedEntries();
    if (entries.empty())
        return false;
    std::vector<std::string> refusals;
    const Result written =
        ExportTextures(m_session, QFile::encodeName(folder).toStdString(), entries, refusals);
    if (!written.message.empty())
        ShowRefusal(this, written.message);
    for (const std::string& text : refusals)
        ShowRefusal(this, text);
    const QString shown = QDir::toNativeSeparators(folder);
    if (!written.IsDone()) {
        StatusLabel->setText("Not all saved into " + shown);
        return false;
    }
    StatusLabel->setText(refusals.empty()
                             ? "Saved " + Count(static_cast<int>(entries.size())) + " into " + shown
                             : "Some textures were not saved into " + shown);
    return refusals.empty();
}

QString TexturesWindow::Count(int textures) const {
    return platform::FromLatin1(FormatNumber(textures, m_session.GroupSeparator())) +
           (textures == 1 ? " texture" : " textures");
}

bool TexturesWindow::ReplaceFrom(int row, const QString& path) {
    if (!m_edit || row < 0 || row >= m_model->rowCount())
        return false;
    const int entry = m_model->Entry(row);
    const std::string name = m_session.Table().Name(entry);
    return ReplaceTexture(this, m_session, m_edit, name, entry, path, false) >= 0;
}

}  // namespace karvex
