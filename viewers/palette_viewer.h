// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QPointF>
#include <QString>

#include <string>

#include "core/archive_edit.h"
#include "platform/centred_dialog.h"
#include "viewers/palette.h"

class QAction;
class QLabel;
class QListWidget;
class QMenu;

namespace karvex {

class Session;

// Form8, the palette viewer: the 768 bytes at the offset of the entry State().EntryIndex
// of the open archive (bytes past the archive's end count as zero) shown as a 16 x 16 grid
// of swatches beside the list "Color Values", one line per colour. Selecting a colour in
// either place outlines its swatch and selects its list line. Ctrl+C copies the selected
// colour as #RRGGBB; the arrow keys move the selection in the grid; Escape closes. The
// right-click menu exports the palette as a GIMP palette or a PNG swatch and, where the
// main window hands over its edits, imports one into the entry.
//
// The grid `pic1` is drawn in user units: (0, 0) at its top-left corner to (255, 255) at
// its bottom-right; colour n owns the cell at (16 * (n mod 16), 16 * (n div 16)) and its
// swatch covers the 15 x 15 units from there.
class Form8 : public platform::CentredDialog {
    Q_OBJECT
  public:
    explicit Form8(Session& session, QWidget* parent = nullptr);

    void List1_Click();     // redraws the grid and outlines the selected colour
    void List1_DblClick();  // the same
    // Records a mouse-down at `position` (pixels of pic1) in whole grid units.
    void pic1_MouseDown(const QPointF& position);
    void pic1_Click();  // selects the colour under the recorded position in List1

    // The edits Import applies; without them (none is the default) Import is disabled.
    void SetEditor(EditRunner edit);
    void menuExport_Click();  // "Export...": asks for a file, then ExportTo
    void menuImport_Click();  // "Import...": asks for a file, then ImportFrom
    // Writes the palette as the file `path` (.gpl, else a PNG swatch). False after a message
    // naming the file when it cannot be written.
    bool ExportTo(const QString& path);
    // Reads the palette file `path`, asks "Replace ENTRY with FILE?" and replaces the entry;
    // the reloaded palette is shown. False when nothing was changed.
    bool ImportFrom(const QString& path);

    // The retained image of the grid: one pixel per grid unit, 255 x 255, shown over pic1's
    // area inside its border.
    const QImage& Grid() const { return m_grid; }
    // The selected colour as "#RRGGBB"; empty when none is selected.
    QString SelectedColorText() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    void Form_Load();      // caption, the palette, the grid and the list
    void PaletteLoad();    // fills ColorComponents from the archive
    void GridDraw();       // all 256 swatches, nothing outlined
    void HighlightDraw();  // outlines the selected colour's cell
    void ColorListFill();  // one List1 line per colour
    void RefreshGrid();    // the retained image to the screen
    // Moves the selection by `step` colours within 0 to 255, from colour 0 when none is
    // selected yet.
    void MoveSelection(int step);
    void CopyColor();  // the selected colour's text to the clipboard
    void Describe();   // the controls' accessible names, from what they show
    void CreateMenu();

    Session& m_session;
    int m_entry;              // the palette's row in the entry table
    std::string m_entryName;  // its name as the table held it at the start
    EditRunner m_edit;
    std::string m_bytes;                        // the 768 bytes read
    karvex::ColorComponents ColorComponents{};  // entry n holds palette colour n
    bool m_loaded = false;  // the palette was read; without it the grid and list stay empty
    int m_clickX = 0;       // the last mouse-down on the grid, in whole units
    int m_clickY = 0;
    bool m_pressed = false;  // the left button went down on the grid
    QImage m_grid;           // the retained image

    QLabel* pic1;         // the colour grid
    QLabel* Label1;       // "Color Values", the caption of List1
    QListWidget* List1;   // one line per colour: " red  green  blue"
    QMenu* menuPalette;   // the right-click menu
    QAction* menuExport;  // "&Export...", Ctrl+E
    QAction* menuImport;  // "&Import...", Ctrl+I
};

}  // namespace karvex
