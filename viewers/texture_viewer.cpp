// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewers/texture_viewer.h"

#include <QAction>
#include <QActionGroup>
#include <QContextMenuEvent>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPixmap>
#include <QScreen>
#include <QScrollArea>
#include <QTimer>

#include <algorithm>
#include <cstring>

#include "core/session.h"
#include "platform/latin1.h"
#include "platform/message_boxes.h"
#include "platform/naming.h"
#include "platform/twips.h"
#include "viewers/archive_import.h"
#include "viewers/color_rgb.h"
#include "viewers/png_writer.h"
#include "viewers/viewer_edits.h"

namespace karvex {

using platform::Named;
using platform::Px;

namespace {

// The picture area shows at least 256 x 256 pixels inside its one-pixel border.
constexpr int kAreaSide = 256;

// The last part of an entry name, the part after its last backslash.
QString BaseName(const QString& name) {
    return name.mid(name.lastIndexOf('\\') + 1);
}

}  // namespace

Form5::Form5(Session& session, QWidget* parent)
    : CentredDialog(parent),
      m_session(session),
      ColorTable(session.Colors()),
      m_entry(session.State().EntryIndex) {
    setObjectName("Form5");
    setModal(true);

    // The picture scrolls only when the zoomed texture does not fit on the screen.
    PictureScroll = Named(new QScrollArea(this), "PictureScroll");
    PictureScroll->setFrameShape(QFrame::NoFrame);
    PictureScroll->setWidgetResizable(false);
    PictureScroll->setFocusPolicy(Qt::NoFocus);
    Picture1 = Named(new QLabel, "Picture1");
    Picture1->setFrameStyle(QFrame::Box | QFrame::Plain);
    Picture1->setLineWidth(1);
    Picture1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The only control: it takes the focus when the window is shown, and that draws it.
    Picture1->setFocusPolicy(Qt::StrongFocus);
    Picture1->installEventFilter(this);
    PictureScroll->setWidget(Picture1);
    CreateMenu();
    FitToZoom();
    ShowImage();
    Form_Load();
    // Nothing to zoom or save when the size check failed.
    for (QAction* item : {menuZoom1, menuZoom2, menuZoom4, menuSave})
        item->setEnabled(m_side != 0);
    Describe();
}

void Form5::Form_Load() {
    const ArchiveState& state = m_session.State();
    const EntryTable& table = m_session.Table();
    m_name = platform::FromLatin1(state.SelectedName);
    setWindowTitle(m_name);
    const bool known = m_entry >= 0 && m_entry < table.Count();
    m_side = known ? TextureWidth(table.SizeOf(m_entry)) : 0;
    if (known)
        m_entryName = table.Name(m_entry);
    if (m_side == 0) {
        platform::ShowMessage(parentWidget(), kTextureSizeText, kCaption, Icon::Critical);
        return;
    }
    LoadPalette();
}

void Form5::LoadPalette() {
    // Its own palette first, then the default one; with neither, the colours stay as the
    // last view left them. A palette that cannot be read leaves them too.
    const EntryTable& table = m_session.Table();
    const int palette = FindPalette(table, table.Name(m_entry));
    m_paletteName.clear();
    if (palette >= 0 && PaletteLoad(m_session, table.OffsetOf(palette), ColorTable).IsDone())
        m_paletteName = platform::FromLatin1(table.Name(palette));
}

void Form5::CreateMenu() {
    menuPicture = new QMenu(this);
    menuPicture->setObjectName("menuPicture");
    auto* zooms = new QActionGroup(this);
    auto addZoom = [&](int zoom, Qt::Key key) {
        QAction* item = menuPicture->addAction(QString("Zoom &%1x").arg(zoom));
        item->setObjectName(QString("menuZoom%1").arg(zoom));
        item->setShortcut(QKeySequence(key));
        item->setCheckable(true);
        item->setChecked(zoom == 1);
        zooms->addAction(item);
        addAction(item);  // the key works anywhere in the window
        connect(item, &QAction::triggered, this, [this, zoom] { SetZoom(zoom); });
        return item;
    };
    menuZoom1 = addZoom(1, Qt::Key_1);
    menuZoom2 = addZoom(2, Qt::Key_2);
    menuZoom4 = addZoom(4, Qt::Key_4);
    menuPicture->addSeparator();
    menuSave = menuPicture->addAction("&Save as PNG…", this, &Form5::menuSave_Click);
    menuSave->setObjectName("menuSave");
    menuSave->setShortcut(QKeySequence::Save);
    addAction(menuSave);
    menuReplace = menuPicture->addAction("&Replace from PNG...", this, &Form5::menuReplace_Click);
    menuReplace->setObjectName("menuReplace");
    menuReplace->setShortcut(QKeySequence("Ctrl+R"));
    menuReplace->setEnabled(false);
    addAction(menuReplace);
}

void Form5::SetEditor(EditRunner edit) {
    m_edit = std::move(edit);
    menuReplace->setEnabled(m_edit != nullptr);
}

void Form5::menuReplace_Click() {
    const EntryTable& table = m_session.Table();
    if (!m_edit || m_entry < 0 || m_entry >= table.Count())
        return;
    std::string palette;
    if (const Result found = PaletteForImport(m_session, m_entryName, -1, palette);
        !found.IsDone()) {
        ShowRefusal(this, found.message);
        return;
    }
    bool dither = false;
    const QString path =
        ChooseFile(this, "Replace from PNG", "PNG images (*.png)", false, {}, &dither, "Dither");
    if (!path.isEmpty())
        ReplaceFrom(path, dither);
}

bool Form5::ReplaceFrom(const QString& path, bool dither) {
    const EntryTable& table = m_session.Table();
    if (!m_edit || m_entry < 0 || m_entry >= table.Count())
        return false;
    // The name the viewer was opened on: should a reload have moved another entry to its
    // row, the edit refuses to touch it.
    const int row = ReplaceTexture(this, m_session, m_edit, m_entryName, m_entry, path, dither);
    if (row < 0)
        return false;
    // The reloaded archive: the entry's place, size and palette may all have changed.
    m_entry = row;
    m_side = TextureWidth(m_session.Table().SizeOf(m_entry));
    LoadPalette();
    for (QAction* item : {menuZoom1, menuZoom2, menuZoom4, menuSave})
        item->setEnabled(m_side != 0);
    TextureDraw();
    ShowImage();
    if (isVisible())
        platform::CentreOnScreen(this);
    return true;
}

bool Form5::eventFilter(QObject* watched, QEvent* event) {
    if (watched != Picture1)
        return CentredDialog::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::FocusIn:
            // The window's activation hands the picture the focus it already had when it
            // was drawn for this showing; drawing again would only wipe and redraw it.
            if (static_cast<QFocusEvent*>(event)->reason() != Qt::ActiveWindowFocusReason ||
                !m_drawnThisShowing)
                Picture1_GotFocus();
            break;
        case QEvent::MouseButtonPress:
            m_pressed = static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
            break;
        case QEvent::MouseButtonRelease: {
            // A click is a left press and release on the picture.
            auto* mouse = static_cast<QMouseEvent*>(event);
            const bool click = m_pressed && mouse->button() == Qt::LeftButton &&
                               Picture1->rect().contains(mouse->position().toPoint());
            m_pressed = false;
            if (click) {
                Picture1_Click();
                return true;
            }
            break;
        }
        default:
            break;
    }
    return CentredDialog::eventFilter(watched, event);
}

void Form5::showEvent(QShowEvent* event) {
    CentredDialog::showEvent(event);
    m_drawnThisShowing = false;
    QTimer::singleShot(0, this, [this] {
        if (!Picture1->hasFocus())
            Picture1_GotFocus();
    });
}

void Form5::contextMenuEvent(QContextMenuEvent* event) {
    menuPicture->popup(event->globalPos());
}

void Form5::Picture1_GotFocus() {
    m_drawnThisShowing = true;
    TextureDraw();
    ShowImage();
}

void Form5::Picture1_Click() {
    close();
}

void Form5::TextureDraw() {
    FitToZoom();
    if (m_side == 0)
        return;
    TextureImage texture;
    if (!DrawTexture(m_session, m_entry, ColorTable, texture).IsDone())
        return;  // the archive cannot be read: the picture stays clear
    m_pixels = std::move(texture.pixels);
    m_indices = std::move(texture.indices);
    m_palette = std::move(texture.palette);
    // The large texture reaches the screen band by band, as it is drawn.
    const int bands = m_side == 256 ? 16 : 1;
    const int rows = m_side / bands;
    for (int band = 0; band < bands; ++band) {
        DrawRows(band * rows, (band + 1) * rows);
        ShowImage();
        emit bandDrawn((band + 1) * rows);
    }
    Describe();
}

void Form5::FitToZoom() {
    const int area = std::max(kAreaSide, m_side * m_zoom);
    const int extra = area - kAreaSide;
    m_image = QImage(area, area, QImage::Format_RGB32);
    m_image.fill(Picture1->palette().color(QPalette::Window));
    // 3870 twips square with its border, in a client area of 3855: the border's right and
    // bottom lines fall just outside the window, while all 256 picture pixels lie inside.
    // The scroll area places the picture: a move here would undo its scrolling.
    const QSize picture = platform::TwipsRect(0, 0, 3870, 3870).size() + QSize(extra, extra);
    Picture1->resize(picture);
    // A window that would not fit in the screen's available area takes that area, less its
    // frame, and the picture scrolls inside it.
    QSize wanted(Px(3855) + extra, Px(3855) + extra);
    const QSize frame = isVisible() ? frameGeometry().size() - size() : QSize(8, 32);
    const QSize room = screen()->availableGeometry().size() - frame;
    const bool scrolls = wanted.width() > room.width() || wanted.height() > room.height();
    if (scrolls)
        wanted = wanted.boundedTo(room);
    const Qt::ScrollBarPolicy bars = scrolls ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff;
    PictureScroll->setHorizontalScrollBarPolicy(bars);
    PictureScroll->setVerticalScrollBarPolicy(bars);
    // A picture that fits gets a scroll area of its own size, so that nothing scrolls.
    const QSize held = scrolls ? wanted : picture;
    PictureScroll->setGeometry(0, 0, held.width(), held.height());
    setFixedSize(wanted);
}

void Form5::DrawRows(int first, int last) {
    const int zoom = m_zoom;
    const auto side = static_cast<std::size_t>(m_side);
    if (m_pixels.size() < side * side)
        return;
    for (int y = first; y < last; ++y) {
        auto* line = reinterpret_cast<QRgb*>(m_image.scanLine(y * zoom));
        for (std::size_t x = 0; x < side; ++x) {
            const QRgb color = ToRgb(m_pixels[static_cast<std::size_t>(y) * side + x]);
            std::fill_n(line + x * static_cast<std::size_t>(zoom), zoom, color);
        }
        // The other rows of a zoomed texture row repeat the first.
        const std::size_t bytes = side * static_cast<std::size_t>(zoom) * sizeof(QRgb);
        for (int copy = 1; copy < zoom; ++copy)
            std::memcpy(m_image.scanLine(y * zoom + copy), line, bytes);
    }
}

void Form5::ShowImage() {
    Picture1->setPixmap(QPixmap::fromImage(m_image));
    Picture1->repaint();
}

void Form5::SetZoom(int zoom) {
    if (zoom != 1 && zoom != 2 && zoom != 4)
        return;
    m_zoom = zoom;
    for (QAction* item : {menuZoom1, menuZoom2, menuZoom4})
        item->setChecked(item->objectName().endsWith(QString::number(zoom)));
    FitToZoom();
    if (m_side != 0)
        DrawRows(0, m_side);
    ShowImage();
    Describe();
    if (isVisible())
        platform::CentreOnScreen(this);
}

void Form5::menuSave_Click() {
    if (m_side == 0 || m_pixels.empty())
        return;
    QFileDialog dialog(this, "Save as PNG");
    dialog.setObjectName("SaveDialog");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter("PNG images (*.png)");
    dialog.setDefaultSuffix("png");
    dialog.selectFile(BaseName(platform::FromLatin1(PngNameFor(m_session.State().SelectedName))));
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        SavePng(dialog.selectedFiles().constFirst());
}

bool Form5::SavePng(const QString& path) {
    if (m_side == 0 || m_pixels.empty())
        return false;
    const ArchiveState& state = m_session.State();
    const IoStatus written = WriteIndexedPngFile(QFile::encodeName(path).toStdString(),
                                                 state.ArchivePath(), m_side, m_indices, m_palette);
    if (written.IsDone())
        return true;
    const QString lf = QString::fromStdString(m_session.State().LineFeed);
    platform::ShowMessage(
        this, "Cannot write " + path + lf + lf + QString::fromStdString(written.Reason()), kCaption,
        Icon::Exclamation);
    return false;
}

void Form5::Describe() {
    QString spoken = "Texture " + m_name.trimmed();
    if (m_side == 0) {
        spoken += ", not shown: " + QString(kTextureSizeText);
    } else {
        spoken += QString(", %1 by %1 pixels, zoom %2x").arg(m_side).arg(m_zoom);
        spoken += m_paletteName.isEmpty() ? ", no palette found: colours of the last palette loaded"
                                          : ", colours from " + m_paletteName.trimmed();
    }
    Picture1->setAccessibleName(spoken);
}

}  // namespace karvex
