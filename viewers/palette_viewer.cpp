// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewers/palette_viewer.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

#include <algorithm>
#include <string>

#include "core/paths.h"
#include "core/session.h"
#include "core/text.h"
#include "platform/latin1.h"
#include "platform/naming.h"
#include "platform/twips.h"
#include "viewers/archive_import.h"
#include "viewers/palette_files.h"
#include "viewers/texture.h"
#include "viewers/viewer_edits.h"

namespace karvex {

using platform::Named;
using platform::Place;

namespace {

constexpr int kGridUnits = 255;  // the user scale runs from 0 to 255 across the grid
constexpr int kColors = 256;

QColor ToQColor(const Rgb& color) {
    return QColor(color.red, color.green, color.blue);
}

}  // namespace

Form8::Form8(Session& session, QWidget* parent)
    : CentredDialog(parent), m_session(session), m_entry(session.State().EntryIndex) {
    if (m_entry >= 0 && m_entry < session.Table().Count())
        m_entryName = session.Table().Name(m_entry);
    setObjectName("Form8");
    setModal(true);
    setFixedSize(platform::Px(5625), platform::Px(3855));

    pic1 = Named(new QLabel(this), "pic1");
    Place(pic1, 0, 0, 3855, 3855);
    pic1->setFrameStyle(QFrame::Box | QFrame::Plain);
    pic1->setLineWidth(1);
    pic1->setScaledContents(true);  // the grid's units spread over the area inside the border
    pic1->setFocusPolicy(Qt::StrongFocus);
    pic1->installEventFilter(this);

    Label1 = Named(new QLabel("Color Values", this), "Label1");
    Place(Label1, 3900, 0, 1725, 240);

    List1 = Named(new QListWidget(this), "List1");
    Place(List1, 3900, 315, 1725, 3375);
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    List1->setUniformItemSizes(true);
    Label1->setBuddy(List1);
    connect(List1, &QListWidget::itemSelectionChanged, this, &Form8::List1_Click);
    connect(List1, &QListWidget::itemDoubleClicked, this, &Form8::List1_DblClick);

    auto* copy = new QAction("Copy colour", this);
    copy->setObjectName("menuCopy");
    copy->setShortcut(QKeySequence::Copy);
    connect(copy, &QAction::triggered, this, &Form8::CopyColor);
    addAction(copy);
    CreateMenu();

    Form_Load();
}

void Form8::CreateMenu() {
    menuPalette = new QMenu(this);
    menuPalette->setObjectName("menuPalette");
    menuExport = menuPalette->addAction("&Export...", this, &Form8::menuExport_Click);
    menuExport->setObjectName("menuExport");
    menuExport->setShortcut(QKeySequence("Ctrl+E"));
    menuImport = menuPalette->addAction("&Import...", this, &Form8::menuImport_Click);
    menuImport->setObjectName("menuImport");
    menuImport->setShortcut(QKeySequence("Ctrl+I"));
    menuImport->setEnabled(false);
    addActions({menuExport, menuImport});  // the keys work anywhere in the window
}

void Form8::SetEditor(EditRunner edit) {
    m_edit = std::move(edit);
    menuImport->setEnabled(m_edit != nullptr && m_loaded);
}

void Form8::contextMenuEvent(QContextMenuEvent* event) {
    menuPalette->popup(event->globalPos());
}

void Form8::menuExport_Click() {
    if (!m_loaded)
        return;
    QString name =
        QFileInfo(platform::FromLatin1(m_session.State().SelectedName).trimmed().replace('\\', '/'))
            .completeBaseName();
    const QString path = ChooseFile(
        this, "Export palette", "GIMP palettes (*.gpl);;PNG swatches (*.png)", true, name + ".gpl");
    if (!path.isEmpty())
        ExportTo(path);
}

bool Form8::ExportTo(const QString& path) {
    const ArchiveState& state = m_session.State();
    const IoStatus written =
        WritePaletteFile(QFile::encodeName(path).toStdString(), state.ArchivePath(), m_bytes,
                         platform::FromLatin1(state.SelectedName).trimmed().toStdString());
    if (!written.IsDone())
        ShowRefusal(this, "Cannot write " + DisplayPath(QFile::encodeName(path).toStdString()) +
                              state.LineFeed + state.LineFeed + Utf8ToLatin1(written.Reason()));
    return written.IsDone();
}

void Form8::menuImport_Click() {
    if (!menuImport->isEnabled())
        return;
    const QString path =
        ChooseFile(this, "Import palette", "Palettes (*.gpl *.png);;All files (*)", false);
    if (!path.isEmpty())
        ImportFrom(path);
}

bool Form8::ImportFrom(const QString& path) {
    const EntryTable& table = m_session.Table();
    if (!m_edit || m_entry < 0 || m_entry >= table.Count())
        return false;
    std::string palette;
    const Result read =
        ReadPaletteFile(QFile::encodeName(path).toStdString(), m_session.State().LineFeed, palette);
    if (!read.IsDone()) {
        ShowRefusal(this, read.message);
        return false;
    }
    // The name the viewer was opened on: should a reload have moved another entry to its
    // row, the edit refuses to touch it.
    const int row = ReplaceEntry(this, m_edit, m_entryName, m_entry, path, palette);
    if (row < 0)
        return false;
    m_entry = row;
    List1->clear();
    Form_Load();
    return true;
}

void Form8::Form_Load() {
    setWindowTitle(platform::FromLatin1(m_session.State().SelectedName));
    PaletteLoad();
    GridDraw();
    ColorListFill();
    RefreshGrid();
    Describe();
}

void Form8::PaletteLoad() {
    const ArchiveState& state = m_session.State();
    const EntryTable& table = m_session.Table();
    const int i = m_entry;
    // The entry's own size is not checked: the 768 bytes from its offset are the palette.
    const std::int64_t offset =
        i >= 0 && i < table.Count() ? table.OffsetOf(i) : std::int64_t{state.SelectedOffset};
    m_loaded = ReadPaletteBytes(m_session, offset, m_bytes).IsDone();
    if (m_loaded)
        ColorComponents = PaletteColors(m_bytes);
    menuExport->setEnabled(m_loaded);
}

void Form8::GridDraw() {
    m_grid = QImage(kGridUnits, kGridUnits, QImage::Format_RGB32);
    m_grid.fill(pic1->palette().color(QPalette::Window));
    if (m_loaded) {
        QPainter painter(&m_grid);
        for (int n = 0; n < kColors; ++n) {
            const GridPoint corner = CellCorner(n);
            painter.fillRect(QRect(corner.x, corner.y, 15, 15),
                             ToQColor(ColorComponents[static_cast<std::size_t>(n)]));
        }
    }
    RefreshGrid();
}

void Form8::HighlightDraw() {
    const QList<QListWidgetItem*> selected = List1->selectedItems();
    if (selected.isEmpty())
        return;
    const int n = List1->row(selected.constFirst());
    const GridPoint corner = CellCorner(n);
    const Rgb outline = OutlineColor(ColorComponents[static_cast<std::size_t>(n)]);
    QPainter painter(&m_grid);
    painter.setPen(QPen(ToQColor(outline), 1));
    painter.setBrush(Qt::NoBrush);
    // With a one-pixel pen the rectangle's outline covers corner to corner + 14: the
    // swatch's own border pixels.
    painter.drawRect(QRect(corner.x, corner.y, 14, 14));
    painter.end();
    RefreshGrid();
}

void Form8::ColorListFill() {
    if (!m_loaded)
        return;
    for (const std::string& line : ColorListLines(ColorComponents))
        List1->addItem(platform::FromLatin1(line));
}

void Form8::RefreshGrid() {
    pic1->setPixmap(QPixmap::fromImage(m_grid));
    pic1->update();
}

void Form8::List1_Click() {
    GridDraw();  // the whole grid first: that removes the previous outline
    HighlightDraw();
    Describe();
}

void Form8::List1_DblClick() {
    List1_Click();
}

void Form8::pic1_MouseDown(const QPointF& position) {
    const QRect inside = pic1->contentsRect();
    const double x = (position.x() - inside.left()) * kGridUnits / std::max(inside.width(), 1);
    const double y = (position.y() - inside.top()) * kGridUnits / std::max(inside.height(), 1);
    m_clickX = GridUnit(x);
    m_clickY = GridUnit(y);
}

void Form8::pic1_Click() {
    // Selecting the line runs List1_Click, which redraws and outlines the colour.
    if (m_loaded)
        List1->setCurrentRow(ColorAt(m_clickX, m_clickY));
}

bool Form8::eventFilter(QObject* watched, QEvent* event) {
    if (watched != pic1)
        return CentredDialog::eventFilter(watched, event);
    if (event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        pic1_MouseDown(mouse->position());
        m_pressed = mouse->button() == Qt::LeftButton;
    } else if (event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const bool click = m_pressed && mouse->button() == Qt::LeftButton &&
                           pic1->rect().contains(mouse->position().toPoint());
        m_pressed = false;
        if (click)
            pic1_Click();
    } else if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const int step = key == Qt::Key_Left    ? -1
                         : key == Qt::Key_Right ? 1
                         : key == Qt::Key_Up    ? -16
                         : key == Qt::Key_Down  ? 16
                                                : 0;
        if (step != 0) {
            MoveSelection(step);
            return true;
        }
    }
    return CentredDialog::eventFilter(watched, event);
}

void Form8::MoveSelection(int step) {
    if (!m_loaded)
        return;
    const QList<QListWidgetItem*> selected = List1->selectedItems();
    const int next = selected.isEmpty() ? 0 : List1->row(selected.constFirst()) + step;
    if (next >= 0 && next < kColors)
        List1->setCurrentRow(next);
}

QString Form8::SelectedColorText() const {
    const QList<QListWidgetItem*> selected = List1->selectedItems();
    if (selected.isEmpty())
        return {};
    const Rgb& color = ColorComponents[static_cast<std::size_t>(List1->row(selected.first()))];
    return ToQColor(color).name(QColor::HexRgb).toUpper();
}

void Form8::CopyColor() {
    const QString text = SelectedColorText();
    if (!text.isEmpty())
        QGuiApplication::clipboard()->setText(text);
}

void Form8::Describe() {
    const QList<QListWidgetItem*> selected = List1->selectedItems();
    if (!m_loaded) {
        pic1->setAccessibleName("Colour grid, empty: the palette could not be read");
        List1->setAccessibleName("Color Values, empty");
        return;
    }
    if (selected.isEmpty()) {
        pic1->setAccessibleName("Colour grid, 256 colours, none selected");
        List1->setAccessibleName("Color Values, 256 colours, none selected");
        return;
    }
    const int n = List1->row(selected.constFirst());
    const Rgb& color = ColorComponents[static_cast<std::size_t>(n)];
    pic1->setAccessibleName(
        QString("Colour grid, colour %1 selected: red %2, green %3, blue %4, %5")
            .arg(n)
            .arg(color.red)
            .arg(color.green)
            .arg(color.blue)
            .arg(SelectedColorText()));
    List1->setAccessibleName(
        QString("Color Values, colour %1 of 256: %2").arg(n).arg(selected.constFirst()->text()));
}

}  // namespace karvex
