// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QString>

#include <cstdint>
#include <string>
#include <vector>

#include "core/archive_edit.h"
#include "platform/centred_dialog.h"
#include "viewers/texture.h"

class QAction;
class QLabel;
class QMenu;
class QScrollArea;

namespace karvex {

class Session;

// Form5, the texture viewer: the entry at State().EntryIndex of the open archive, a 64 x 64
// or 256 x 256 texture of palette indices, drawn through the palette of its own name, else
// "metalcr2.act", else through the colours the table already holds. The colour table is
// the caller's and outlives the window, so a later view that finds no palette draws with
// the last one loaded (black before the first). A size the viewer cannot draw is reported
// in a message box while the window is built; the window then opens with an empty picture.
// A click on the picture, Escape or the close box closes it. The picture's right-click
// menu zooms it 1x, 2x or 4x (also the keys 1, 2 and 4), saves it as a PNG file and, where
// the main window hands over its edits, replaces it from a painted PNG.
class Form5 : public platform::CentredDialog {
    Q_OBJECT
  public:
    explicit Form5(Session& session, QWidget* parent = nullptr);

    void Picture1_GotFocus();  // draws the texture each time the picture takes the focus
    void Picture1_Click();     // closes the window
    // Reads the texture, turns it into colours through the table and draws it into the
    // retained image: 256 x 256 in 16 bands of 16 rows, Picture1 repainted after each band;
    // 64 x 64 at once, repainted once. Nothing is drawn for a size the viewer cannot draw,
    // nor when the archive cannot be read.
    void TextureDraw();

    // 1, 2 or 4 screen pixels per texture pixel (nearest neighbour); any other value is
    // ignored. The picture and the window grow or shrink to fit; a window that would not
    // fit in the screen's available area takes that area, and the picture scrolls.
    void SetZoom(int zoom);
    int Zoom() const { return m_zoom; }
    void menuSave_Click();  // "Save as PNG…": asks for a file, then SavePng
    // Writes the texture at its own size as an indexed PNG file: its own bytes, and the
    // palette drawn through as PLTE. False, after a message
    // naming the file, when it cannot be written; false without one when nothing is drawn.
    bool SavePng(const QString& path);

    // The retained image Picture1 shows: the picture area, the texture drawn from its top
    // left corner at the zoom, the rest in the background colour.
    const QImage& Image() const { return m_image; }
    // The texture's side in texture pixels: 64 or 256, 0 when nothing is drawn.
    int TextureSide() const { return m_side; }

    // The edits "Replace from PNG..." applies; without them (the default) it is disabled.
    void SetEditor(EditRunner edit);
    // "Replace from PNG...": refuses at once when the archive has no palette for the texture,
    // else asks for a PNG (with a "Dither" box), then ReplaceFrom.
    void menuReplace_Click();
    // Imports the PNG `path` through the palette the archive gives the texture, asks "Replace
    // ENTRY with FILE?", replaces the entry and draws it anew from the reloaded archive.
    // False, after a message where there is one to give, when nothing was changed.
    bool ReplaceFrom(const QString& path, bool dither);

  signals:
    // Each band of the texture has reached the screen; `rows` texture rows are shown.
    void bandDrawn(int rows);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    // Where the window system gives the new window no focus (no window manager), the
    // picture is drawn all the same once the window is up.
    void showEvent(QShowEvent* event) override;

  private:
    void Form_Load();    // caption, size check, then LoadPalette
    void LoadPalette();  // the palette search and load, into the session's colours
    void CreateMenu();
    // Sizes the image, Picture1 and the window for the zoom; the image is cleared.
    void FitToZoom();
    // Copies texture rows [first, last) into the image at the zoom.
    void DrawRows(int first, int last);
    void ShowImage();  // hands the image to Picture1 and repaints it now
    void Describe();   // Picture1's accessible name, from what it shows

    Session& m_session;
    EditRunner m_edit;
    karvex::ColorTable& ColorTable;  // the palette's colours, the session's, kept between views
    int m_entry;                     // the texture's index in the entry table
    QString m_name;                  // SelectedName, the caption
    std::string m_entryName;         // the texture's name as the table held it at the start
    QString m_paletteName;           // the palette entry drawn through; empty when none found
    int m_side = 0;                  // 64 or 256 once the size is checked; 0 otherwise
    int m_zoom = 1;
    std::vector<std::uint32_t> m_pixels;  // the texture's colour values, top row first
    std::string m_indices;                // the bytes they were drawn from
    std::string m_palette;                // the 768 bytes of the colours drawn through
    QImage m_image;                       // the retained image
    bool m_pressed = false;               // the left button went down on the picture
    bool m_drawnThisShowing = false;      // drawn since the window was last shown

    QScrollArea* PictureScroll;  // holds Picture1; scrolls it when it outgrows the screen
    QLabel* Picture1;            // the picture area: shows the retained image
    QMenu* menuPicture;          // the picture's right-click menu
    QAction* menuZoom1;          // "Zoom &1x", key 1
    QAction* menuZoom2;          // "Zoom &2x", key 2
    QAction* menuZoom4;          // "Zoom &4x", key 4
    QAction* menuSave;           // "&Save as PNG…", Ctrl+S
    QAction* menuReplace;        // "&Replace from PNG...", Ctrl+R
};

}  // namespace karvex
