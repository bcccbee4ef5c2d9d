// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QListView>
#include <QString>

#include <vector>

#include "core/archive_edit.h"
#include "platform/centred_dialog.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace karvex {

class Session;
class TextureThumbnails;

// The grid of thumbnails: a list view in icon mode that takes a PNG file dropped on a
// thumbnail, when drops are on.
class TextureGrid : public QListView {
    Q_OBJECT
  public:
    explicit TextureGrid(QWidget* parent = nullptr);

  signals:
    void pngDropped(int row, const QString& path);

  protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    int DropRow(const QDropEvent* event, QString& path) const;  // -1 when not to be taken
};

// The Textures window: every texture of the open archive at a glance, as thumbnails through
// their palettes with their names under them, in a grid that flows with the window's width.
// The palette chooser above it draws them all through one of the archive's palettes, or
// each through its own ("As the game would"). A double-click (or Enter) opens the texture
// viewer; "Save as PNGs..." writes the selected textures into a folder as the textures
// command writes them; a PNG file dropped on a thumbnail replaces that texture, when the
// main window hands over its edits. Modal and sizable.
class TexturesWindow : public platform::CentredDialog {
    Q_OBJECT
  public:
    explicit TexturesWindow(Session& session, QWidget* parent = nullptr);

    // The edits a dropped PNG and the texture viewer apply; without them drops are refused.
    void SetEditor(EditRunner edit);
    // Opens the texture viewer on the texture in `row`.
    void ViewTexture(int row);
    // Writes the selected textures beneath `folder`; false, after a message, when some or
    // all could not be written.
    bool SaveSelection(const QString& folder);
    // Replaces the texture in `row` from the PNG file `path`, after asking; false when
    // nothing was changed.
    bool ReplaceFrom(int row, const QString& path);
    TextureThumbnails& Thumbnails() { return *m_model; }

  private:
    void PaletteChooser_Changed(int item);
    void SaveButton_Click();  // asks for a folder, then SaveSelection
    void Reloaded();          // the chooser and the count, after the rows were made anew
    void FillChooser();       // "As the game would", then the .act entries; the choice kept
    void ShowCount();
    QString Count(int textures) const;  // "1 texture", "5,000 textures"
    std::vector<int> SelectedEntries() const;

    Session& m_session;
    EditRunner m_edit;
    TextureThumbnails* m_model;
    int m_scrolled = 0;           // the grid's scroll position before the rows were made anew
    std::vector<int> m_palettes;  // the chooser's palette entries, after "As the game would"

    QComboBox* PaletteChooser;  // "As the game would", then the archive's .act entries
    QLabel* CountLabel;         // "N textures"
    TextureGrid* Grid;          // the thumbnails
    QLabel* StatusLabel;        // what the last save did
    QPushButton* SaveButton;    // "&Save as PNGs...", Ctrl+S
    QPushButton* CloseButton;   // "Close"
};

}  // namespace karvex
