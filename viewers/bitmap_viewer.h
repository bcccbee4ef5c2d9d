// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSize>
#include <QString>

#include "core/session.h"
#include "platform/centred_dialog.h"

class QLabel;

namespace karvex {

// Form14, the bitmap viewer: the picture in a file (a temporary copy of the entry last
// right-clicked, made by the caller) at its natural size, in a window that keeps itself
// fitted to it. A click or Escape closes it. The picture is held in memory, so the caller
// may delete the file as soon as the window is gone.
class Form14 : public platform::CentredDialog {
    Q_OBJECT
  public:
    Form14(Session& session, const QString& bitmapPath, QWidget* parent = nullptr);

    // False when the file is not a picture Qt's image readers can decode: the window then
    // shows nothing and is not to be opened.
    bool IsLoaded() const { return m_loaded; }

    // Loads the picture into Picture1, fits the window to it and sets the caption
    // (SelectedName); the window centres itself when shown.
    void Form_Load();
    // The window's outer size back to the picture's plus 125 x 400 twips.
    void Form_Resize();
    void Picture1_Click();  // closes the window

  protected:
    void resizeEvent(QResizeEvent* event) override;
    // The window system's frame becomes known once the window is placed.
    void moveEvent(QMoveEvent* event) override;
    // A click on the picture, or on the strip of window beside it, reaches the window.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    QSize FittedSize() const;

    Session& m_session;
    QString m_bitmapPath;  // the file to show
    QLabel* Picture1;      // the picture, at the window's top-left corner and of its size
    bool m_loaded = false;
    // A size the window was found at and then asked to leave. Finding it there again means
    // the window system will not give the fitted size (a picture larger than the screen),
    // and asking once more would only start the same exchange again.
    QSize m_leftSize;
};

}  // namespace karvex
