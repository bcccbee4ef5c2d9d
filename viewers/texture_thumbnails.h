// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractListModel>
#include <QCache>
#include <QPixmap>

#include <memory>
#include <vector>

#include "core/color_table.h"

namespace karvex {

class Session;
class PaletteLookup;

// The textures of the open archive as a list model for the Textures window: one row per
// texture entry in table order, its name as the text and its thumbnail as the decoration,
// 64 x 64 at 1:1 and 256 x 256 halved to 128 x 128. A thumbnail is decoded the first time
// it is asked for (a view asks for those it paints) and kept in a small cache, so an archive
// of thousands costs memory for a few screens of them only.
class TextureThumbnails : public QAbstractListModel {
    Q_OBJECT
  public:
    // True for a texture drawn without a palette: none under the palette rule in use. Its
    // thumbnail shows the indices as greys, marked "no palette".
    static constexpr int kNoPaletteRole = Qt::UserRole + 1;
    // The side of the largest thumbnail.
    static constexpr int kThumbnailSide = 128;

    // The rows follow the session's table: each time a command ends (an edit reloads the
    // archive) they are made anew.
    explicit TextureThumbnails(Session& session, QObject* parent = nullptr);
    ~TextureThumbnails() override;

    // The rows anew from the session's table (after a reload), the thumbnails forgotten.
    void Reload();
    // The palette the thumbnails are drawn through: entry `entry` of the table for every
    // texture, or -1 (the start) for each texture's own palette as the texture viewer finds
    // it: its own name's, else "metalcr2.act".
    void SetPalette(int entry);
    int Entry(int row) const { return m_entries[static_cast<std::size_t>(row)]; }
    // How many thumbnails have been decoded since the model was made.
    int Decodes() const { return m_decodes; }

    int rowCount(const QModelIndex& parent = {}) const override;
    // DisplayRole: the name; DecorationRole: the thumbnail (a QPixmap); AccessibleTextRole
    // and ToolTipRole: "NAME, N bytes" (", no palette" after it when marked); kNoPaletteRole.
    // Nothing while the session is busy: an edit may be reloading the table.
    QVariant data(const QModelIndex& index, int role) const override;

  private:
    int PaletteOf(int entry) const;  // the palette entry a texture is drawn through, or -1
    QPixmap Thumbnail(int row) const;

    Session& m_session;
    std::vector<int> m_entries;  // the texture entries' indices in the table
    int m_palette = -1;
    std::unique_ptr<PaletteLookup> m_lookup;    // each texture's own palette
    mutable QCache<int, QPixmap> m_thumbnails;  // by row, its cost in KiB
    mutable QCache<int, ColorTable> m_colors;   // the palettes read, by entry
    mutable int m_decodes = 0;
};

}  // namespace karvex
