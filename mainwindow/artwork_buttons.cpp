// SPDX-License-Identifier: GPL-3.0-or-later
// The pictures of the main window's buttons, drawn in a 40 x 40 design space and scaled to
// the size asked for.

#include "mainwindow/artwork.h"
#include "mainwindow/artwork_common.h"

#include <QLineF>
#include <QPainter>
#include <QPolygonF>
#include <QRadialGradient>
#include <algorithm>
#include <array>
#include <utility>

namespace karvex {

using namespace artwork;

namespace {

// ---- Shapes the pictures share ----------------------------------------------------------

QPen OutlinePen() {
    return QPen(kOutline, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// The archive crate seen slightly from above: front face, lid and an amber strap. With |open|
// the lid is swung back and the dark inside shows.
void PaintCrate(QPainter& p, const QRectF& front, bool open) {
    const qreal depth = front.height() * 0.35;
    const QPointF slant(depth * 0.6, -depth);
    p.setPen(OutlinePen());
    QPolygonF side{front.topRight(), front.topRight() + slant, front.bottomRight() + slant,
                   front.bottomRight()};
    p.setBrush(kSteelDark);
    p.drawPolygon(side);
    QPolygonF top{front.topLeft(), front.topLeft() + slant, front.topRight() + slant,
                  front.topRight()};
    p.setBrush(open ? kOutline : kSteelLight);
    p.drawPolygon(top);
    if (open) {
        const QPointF lift(-depth * 0.3, -depth * 1.4);
        p.setBrush(kSteelLight);
        p.drawPolygon(QPolygonF{front.topLeft() + slant, front.topLeft() + slant + lift,
                                front.topRight() + slant + lift, front.topRight() + slant});
    }
    p.setBrush(Vertical(front.top(), front.bottom(), kSteel, kSteelDark));
    p.drawRect(front);
    const qreal strap = front.width() * 0.18;
    const QRectF band(front.center().x() - strap / 2, front.top(), strap, front.height());
    p.setBrush(Vertical(band.top(), band.bottom(), kDay.accentLight, kDay.accent));
    p.drawRect(band);
}

void PaintPage(QPainter& p, const QRectF& page) {
    p.setPen(OutlinePen());
    p.setBrush(kPaper);
    p.drawRect(page);
    p.setPen(QPen(kSteel, 1.2));
    for (qreal y = page.top() + 3; y < page.bottom() - 2; y += 3)
        p.drawLine(QPointF(page.left() + 2.5, y), QPointF(page.right() - 2.5, y));
}

// A fat amber arrow from |from| to |to|.
void PaintArrow(QPainter& p, QPointF from, QPointF to) {
    const QLineF shaft(from, to);
    const QPointF along = (to - from) / shaft.length();
    const QPointF across(-along.y(), along.x());
    const qreal head = 7, half = 2.6;
    const QPointF neck = to - along * head;
    p.setPen(OutlinePen());
    p.setBrush(Vertical(std::min(from.y(), to.y()), std::max(from.y(), to.y()), kDay.accentLight,
                        kDay.accent));
    p.drawPolygon(QPolygonF{from + across * half, neck + across * half, neck + across * 6, to,
                            neck - across * 6, neck - across * half, from - across * half});
}

void PaintDisc(QPainter& p) {
    QRadialGradient metal(15, 13, 24);
    metal.setColorAt(0, kSteelLight);
    metal.setColorAt(1, kSteelDark);
    p.setPen(OutlinePen());
    p.setBrush(metal);
    p.drawEllipse(QPointF(20, 20), 17, 17);
}

// An amber tick with a dark outline, on the checklist row whose box starts at |y|.
void PaintTick(QPainter& p, qreal y) {
    p.setPen(QPen(kOutline, 4.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const QPolygonF tick{{10, y + 2}, {13, y + 5.5}, {19, y - 2.5}};
    p.drawPolyline(tick);
    p.setPen(QPen(kDay.accent, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(tick);
}

// ---- One function per picture -----------------------------------------------------------

// An open folder with a crate inside.
void PaintOpen(QPainter& p) {
    p.setPen(OutlinePen());
    p.setBrush(kSteelDark);
    p.drawPolygon(QPolygonF{{3, 34}, {3, 9}, {13, 9}, {16, 12}, {33, 12}, {33, 34}});
    PaintCrate(p, {12, 15, 15, 12}, false);
    p.setPen(OutlinePen());
    p.setBrush(Vertical(19, 35, kSteelLight, kSteel));
    p.drawPolygon(QPolygonF{{3, 35}, {9, 20}, {38, 20}, {33, 35}});
}

// A page and a crate, with an amber plus.
void PaintMake(QPainter& p) {
    PaintPage(p, {5, 3, 14, 17});
    PaintCrate(p, {4, 22, 24, 15}, false);
    p.setPen(OutlinePen());
    p.setBrush(Vertical(4, 24, kDay.accentLight, kDay.accent));
    p.drawEllipse(QPointF(29, 12), 9, 9);
    p.setPen(QPen(kOutline, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(29, 7.5), QPointF(29, 16.5));
    p.drawLine(QPointF(24.5, 12), QPointF(33.5, 12));
}

// An open crate with an arrow rising out of it beside a page.
void PaintExtract(QPainter& p) {
    PaintCrate(p, {3, 23, 24, 14}, true);
    PaintPage(p, {23, 2, 14, 17});
    PaintArrow(p, {15, 24}, {15, 3});
}

// An amber "i" on a steel disc.
void PaintAbout(QPainter& p) {
    PaintDisc(p);
    p.setPen(OutlinePen());
    p.setBrush(Vertical(9, 31, kDay.accentLight, kDay.accent));
    p.drawEllipse(QPointF(20, 11.5), 3.2, 3.2);
    p.drawPolygon(QPolygonF{{15.5, 17},
                            {22.5, 17},
                            {22.5, 28},
                            {25, 28},
                            {25, 31.5},
                            {15, 31.5},
                            {15, 28},
                            {17.5, 28},
                            {17.5, 20.5},
                            {15.5, 20.5}});
}

// The power symbol: an amber ring broken at the top, with a bar through the gap.
void PaintExit(QPainter& p) {
    PaintDisc(p);
    QPainterPath ring;
    ring.arcMoveTo(QRectF(10, 10, 20, 20), 125);
    ring.arcTo(QRectF(10, 10, 20, 20), 125, 290);
    // Drawn twice, wide and dark then narrow and amber, to give the stroke an outline.
    const std::array<std::pair<qreal, QColor>, 2> strokes{{{7.0, kOutline}, {4.0, kDay.accent}}};
    for (const auto& [width, colour] : strokes) {
        p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawPath(ring);
        p.drawLine(QPointF(20, 7), QPointF(20, 19));
    }
}

// A checklist: three rows, the first and last ticked.
void PaintSelect(QPainter& p) {
    p.setPen(OutlinePen());
    p.setBrush(kPaper);
    p.drawRoundedRect(QRectF(6, 3, 28, 34), 2, 2);
    for (int row = 0; row < 3; ++row) {
        const qreal y = 8 + row * 10;
        p.setPen(QPen(kOutline, 1.3));
        p.setBrush(kSteelLight);
        p.drawRect(QRectF(10, y, 6, 6));
        p.setPen(QPen(kSteel, 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(20, y + 3), QPointF(30, y + 3));
        if (row != 1)
            PaintTick(p, y);
    }
}

void PaintButton(QPainter& p, ButtonPicture picture) {
    switch (picture) {
        case ButtonPicture::Open:
            PaintOpen(p);
            break;
        case ButtonPicture::Make:
            PaintMake(p);
            break;
        case ButtonPicture::Extract:
            PaintExtract(p);
            break;
        case ButtonPicture::About:
            PaintAbout(p);
            break;
        case ButtonPicture::Exit:
            PaintExit(p);
            break;
        case ButtonPicture::Select:
            PaintSelect(p);
            break;
    }
}

QPixmap ButtonPixmap(ButtonPicture picture, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 40.0, size / 40.0);
    PaintButton(p, picture);
    return pixmap;
}

}  // namespace

QIcon ButtonIcon(ButtonPicture picture) {
    QIcon icon;
    for (int size : {40, 80})
        icon.addPixmap(ButtonPixmap(picture, size));
    return icon;
}

}  // namespace karvex
