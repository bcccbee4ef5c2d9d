// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/artwork_common.h"

#include <QPainter>
#include <QPolygonF>
#include <QRadialGradient>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace karvex::artwork {

namespace {

// A cog with |teeth| trapezoid teeth, turned by |degrees|.
QPainterPath GearPath(QPointF centre, qreal outer, qreal root, int teeth, qreal degrees) {
    QPolygonF outline;
    const qreal step = 2 * std::numbers::pi / teeth;
    const qreal turn = degrees * std::numbers::pi / 180;
    const auto at = [&](qreal angle, qreal radius) {
        return centre + QPointF(std::cos(angle), std::sin(angle)) * radius;
    };
    for (int i = 0; i < teeth; ++i) {
        const qreal angle = turn + i * step;
        outline << at(angle - 0.27 * step, root) << at(angle - 0.16 * step, outer)
                << at(angle + 0.16 * step, outer) << at(angle + 0.27 * step, root);
    }
    QPainterPath path;
    path.addPolygon(outline);
    path.closeSubpath();
    return path;
}

}  // namespace

QFont BoldFont(int pixelSize) {
    QFont font;
    font.setFamilies({"DejaVu Sans", "Liberation Sans"});
    font.setPixelSize(pixelSize);
    font.setBold(true);
    return font;
}

QPainterPath FittedText(const QString& text, const QFont& font, const QRectF& box) {
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF bounds = path.boundingRect();
    const qreal scale = std::min(box.width() / bounds.width(), box.height() / bounds.height());
    QTransform transform;
    transform.translate(box.left(), box.center().y() - bounds.height() * scale / 2);
    transform.scale(scale, scale);
    transform.translate(-bounds.left(), -bounds.top());
    return transform.map(path);
}

QLinearGradient Vertical(qreal top, qreal bottom, const QColor& upper, const QColor& lower) {
    QLinearGradient gradient(0, top, 0, bottom);
    gradient.setColorAt(0, upper);
    gradient.setColorAt(1, lower);
    return gradient;
}

QPainterPath PaintEmblem(QPainter& p, QPointF centre, qreal radius, const Colourway& c,
                         qreal degrees) {
    const qreal line = std::max(1.0, radius * 0.07);
    const QPainterPath gear = GearPath(centre, radius, radius * 0.8, 8, degrees);
    QRadialGradient metal(centre - QPointF(radius, radius) * 0.35, radius * 1.4);
    metal.setColorAt(0, c.accentLight);
    metal.setColorAt(0.55, c.accent);
    metal.setColorAt(1, c.accentDark);
    p.setPen(QPen(c.bevelDark, line, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(metal);
    p.drawPath(gear);

    const qreal hub = radius * 0.6;
    p.setBrush(Vertical(centre.y() - hub, centre.y() + hub, c.plateBottom, c.plateTop));
    p.drawEllipse(centre, hub, hub);
    const QRectF letterBox(centre.x() - hub * 0.42, centre.y() - hub * 0.55, hub * 0.9, hub * 1.1);
    const QPainterPath letter = FittedText("K", BoldFont(64), letterBox);
    p.setPen(Qt::NoPen);
    p.setBrush(Vertical(letterBox.top(), letterBox.bottom(), c.letterLight, c.accentLight));
    p.drawPath(letter);

    // The shiny parts, for the glint: the cog's rim and the letter, not the dark hub.
    QPainterPath hubPath;
    hubPath.addEllipse(centre, hub, hub);
    return gear.subtracted(hubPath).united(letter);
}

}  // namespace karvex::artwork
