// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewers/texture_thumbnails.h"

#include <QFont>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstring>
#include <string>

#include "core/number_text.h"
#include "core/session.h"
#include "core/text.h"
#include "platform/latin1.h"
#include "viewers/color_rgb.h"
#include "viewers/texture.h"
#include "viewers/texture_export.h"

namespace karvex {
namespace {

// The thumbnails kept: some 12 MiB, a few screens of the largest.
constexpr int kThumbnailCacheKiB = 12 * 1024;
// The palettes kept, 1 KiB each.
constexpr int kPaletteCache = 256;

// Index n drawn as grey n: a texture without a palette still shows its shapes.
ColorTable Greys() {
    ColorTable greys;
    for (unsigned n = 0; n < 256; ++n)
        greys.values[n + 1] = ColorValue(n, n, n);
    return greys;
}

// The "no palette" mark: white on a dark red band along the bottom.
void MarkNoPalette(QImage& image) {
    QPainter painter(&image);
    const QRect band(0, image.height() - 13, image.width(), 13);
    painter.fillRect(band, QColor(150, 0, 0));
    QFont font = painter.font();
    font.setPixelSize(10);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(band, Qt::AlignCenter, "no palette");
}

}  // namespace

TextureThumbnails::TextureThumbnails(Session& session, QObject* parent)
    : QAbstractListModel(parent), m_session(session) {
    m_thumbnails.setMaxCost(kThumbnailCacheKiB);
    m_colors.setMaxCost(kPaletteCache);
    Reload();
    m_session.OnBusyChanged(this, [this](bool busy) {
        if (!busy)
            Reload();
    });
}

TextureThumbnails::~TextureThumbnails() {
    m_session.RemoveListeners(this);
}

void TextureThumbnails::Reload() {
    beginResetModel();
    const EntryTable& table = m_session.Table();
    m_entries.clear();
    for (int i = 0; i < table.Count(); ++i) {
        if (IsTexture(table, i))
            m_entries.push_back(i);
    }
    m_lookup = std::make_unique<PaletteLookup>(table);
    if (m_palette >= table.Count())
        m_palette = -1;
    m_thumbnails.clear();
    m_colors.clear();
    endResetModel();
}

void TextureThumbnails::SetPalette(int entry) {
    if (entry == m_palette)
        return;
    m_palette = entry;
    m_thumbnails.clear();
    if (!m_entries.empty())
        emit dataChanged(index(0), index(rowCount() - 1));
}

int TextureThumbnails::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_entries.size());
}

int TextureThumbnails::PaletteOf(int entry) const {
    const EntryTable& table = m_session.Table();
    const int palette = m_palette >= 0 ? m_palette : m_lookup->Find(table.Name(entry));
    return palette < table.Count() ? palette : -1;  // a table changed before a Reload
}

QVariant TextureThumbnails::data(const QModelIndex& index, int role) const {
    // While a command runs (an edit reloading the archive) the rows may not match the table
    // until Reload: nothing is read then.
    const EntryTable& table = m_session.Table();
    if (!index.isValid() || index.row() >= rowCount() || m_session.IsBusy() ||
        Entry(index.row()) >= table.Count())
        return {};
    const int entry = Entry(index.row());
    switch (role) {
        case Qt::DisplayRole:
            return platform::FromLatin1(Trim(table.Name(entry)));
        case Qt::DecorationRole:
            return Thumbnail(index.row());
        case Qt::AccessibleTextRole:
        case Qt::ToolTipRole: {
            const std::string size = FormatNumber(table.SizeOf(entry), m_session.GroupSeparator());
            return platform::FromLatin1(Trim(table.Name(entry)) + ", " + size + " bytes" +
                                        (PaletteOf(entry) < 0 ? ", no palette" : ""));
        }
        case kNoPaletteRole:
            return PaletteOf(entry) < 0;
        default:
            return {};
    }
}

QPixmap TextureThumbnails::Thumbnail(int row) const {
    if (const QPixmap* kept = m_thumbnails.object(row))
        return *kept;
    ++m_decodes;
    const EntryTable& table = m_session.Table();
    const int entry = Entry(row);
    const int side = TextureWidth(table.SizeOf(entry));
    const int palette = PaletteOf(entry);
    static const ColorTable greys = Greys();
    const ColorTable* colors = &greys;
    if (palette >= 0) {
        colors = m_colors.object(palette);
        if (!colors) {
            auto loaded = std::make_unique<ColorTable>();
            if (PaletteLoad(m_session, table.OffsetOf(palette), *loaded).IsDone()) {
                colors = loaded.get();
                m_colors.insert(palette, loaded.release());
            } else {
                colors = &greys;  // the palette cannot be read
            }
        }
    }
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(Qt::black);
    TextureImage texture;
    const bool drawn = DrawTexture(m_session, entry, *colors, texture).IsDone();
    for (int y = 0; drawn && y < side; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < side; ++x)
            line[x] = ToRgb(texture.pixels[static_cast<std::size_t>(y * side + x)]);
    }
    if (side > kThumbnailSide)
        image = image.scaled(kThumbnailSide, kThumbnailSide, Qt::IgnoreAspectRatio,
                             Qt::SmoothTransformation);
    if (colors == &greys)
        MarkNoPalette(image);
    const QPixmap pixmap = QPixmap::fromImage(image);
    m_thumbnails.insert(row, new QPixmap(pixmap),
                        std::max(1, image.width() * image.height() * 4 / 1024));
    return pixmap;
}

}  // namespace karvex
