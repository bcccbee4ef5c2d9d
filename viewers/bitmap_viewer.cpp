// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewers/bitmap_viewer.h"

#include <QImageReader>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>

#include "platform/latin1.h"
#include "platform/naming.h"
#include "platform/twips.h"
#include "viewers/text_viewer.h"

namespace karvex {

using platform::Px;

namespace {

// Picture1 at design, before a picture is loaded into it.
constexpr int kDesignWidth = 6420;
constexpr int kDesignHeight = 5730;

}  // namespace

Form14::Form14(Session& session, const QString& bitmapPath, QWidget* parent)
    : CentredDialog(parent), m_session(session), m_bitmapPath(bitmapPath) {
    setObjectName("Form14");
    Picture1 = platform::Named(new QLabel(this), "Picture1");
    Picture1->setGeometry(0, 0, Px(kDesignWidth), Px(kDesignHeight));
    Form_Load();
}

void Form14::Form_Load() {
    // The content decides the format, not the copy's name: an entry named ".bmp" may hold
    // a picture of another kind, or no picture at all.
    QImageReader reader(m_bitmapPath);
    reader.setDecideFormatFromContent(true);
    const QImage image = reader.read();
    m_loaded = !image.isNull();
    if (m_loaded) {
        Picture1->setPixmap(QPixmap::fromImage(image));
        Picture1->resize(image.size());
    }
    const QString name = platform::FromLatin1(m_session.State().SelectedName);
    setWindowTitle(name);
    Picture1->setAccessibleName(QString("%1, %2 x %3 pixels")
                                    .arg(name.trimmed())
                                    .arg(Picture1->width())
                                    .arg(Picture1->height()));
    resize(FittedSize());
}

QSize Form14::FittedSize() const {
    return Picture1->size() + FrameAllowanceInside(this);
}

void Form14::Form_Resize() {
    const QSize fitted = FittedSize();
    if (size() == fitted) {
        m_leftSize = {};
        return;
    }
    if (size() == m_leftSize)
        return;
    m_leftSize = size();
    resize(fitted);
}

void Form14::Picture1_Click() {
    close();
}

void Form14::resizeEvent(QResizeEvent* event) {
    CentredDialog::resizeEvent(event);
    Form_Resize();
}

void Form14::moveEvent(QMoveEvent* event) {
    CentredDialog::moveEvent(event);
    Form_Resize();
}

void Form14::mousePressEvent(QMouseEvent* event) {
    // Taken, so that the release that makes it a click comes here too.
    event->setAccepted(event->button() == Qt::LeftButton);
}

void Form14::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Picture1_Click();
}

}  // namespace karvex
