// SPDX-License-Identifier: GPL-3.0-or-later
// The logo frames of the main window: a metal plate with the emblem and the lettering, in
// the day and night colourways, with a glint of light sweeping over it in the animation.

#include "karvex_version.h"
#include "mainwindow/artwork.h"
#include "mainwindow/artwork_common.h"

#include <QPainter>
#include <QPolygonF>
#include <QTransform>
#include <array>
#include <optional>

namespace karvex {

using namespace artwork;

namespace {

// Little hazard stripes, the kind painted on a truck's bumper, to balance the line with "32".
void PaintStripes(QPainter& p, const QRectF& box, const Colourway& c) {
    p.save();
    QPainterPath frame;
    frame.addRoundedRect(box, 1.5, 1.5);
    p.setClipPath(frame);
    p.fillRect(box, c.plateBottom);
    p.setPen(Qt::NoPen);
    p.setBrush(c.accent);
    for (qreal x = box.left() - box.height(); x < box.right(); x += 6) {
        p.drawPolygon(QPolygonF{{x, box.bottom()},
                                {x + box.height(), box.top()},
                                {x + box.height() + 3, box.top()},
                                {x + 3, box.bottom()}});
    }
    p.restore();
}

void PaintVersionBadge(QPainter& p, const QRectF& box, const Colourway& c) {
    p.setPen(QPen(c.accentDark, 1));
    p.setBrush(Vertical(box.top(), box.bottom(), c.accentLight, c.accent));
    p.drawRoundedRect(box, box.height() / 2, box.height() / 2);
    p.setPen(c.plateBottom);
    p.setFont(BoldFont(9));
    p.drawText(box, Qt::AlignCenter, "v" KARVEX_VERSION);
}

// The plate: a gradient, faint brushed lines, a dark rim and a light upper bevel.
void PaintPlate(QPainter& p, const Colourway& c) {
    const QRectF plate(0.5, 0.5, 99, 57);
    QPainterPath platePath;
    platePath.addRoundedRect(plate, 6, 6);
    p.setPen(QPen(c.bevelDark, 1));
    p.setBrush(Vertical(0, 58, c.plateTop, c.plateBottom));
    p.drawPath(platePath);
    p.save();
    p.setClipPath(platePath);
    p.setPen(QColor(255, 255, 255, 10));
    for (int y = 3; y < 58; y += 2)
        p.drawLine(0, y, 100, y);
    p.restore();
    QLinearGradient bevel = Vertical(1, 30, c.bevelLight, Qt::transparent);
    p.setPen(QPen(QBrush(bevel), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(plate.adjusted(1, 1, -1, -1), 5, 5);
}

// The two lines of lettering, "KARVEX" over "32".
struct Lettering {
    QPainterPath name, number;
};

// The lettering with its drop shadow, and the accent rule between its two lines.
Lettering PaintLettering(QPainter& p, const Colourway& c) {
    const QPainterPath name = FittedText("KARVEX", BoldFont(32), {39, 11, 56, 14});
    const QPainterPath number = FittedText("32", BoldFont(32), {39, 31, 40, 17});
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 150));  // A drop shadow lifts the lettering off the plate.
    p.drawPath(name.translated(0.8, 1));
    p.drawPath(number.translated(0.8, 1));
    p.setBrush(Vertical(11, 25, c.letterLight, c.letterDark));
    p.drawPath(name);
    p.setBrush(Vertical(31, 48, c.accentLight, c.accent));
    p.drawPath(number);

    // A thin accent rule between the two lines of lettering.
    QLinearGradient rule(39, 0, 95, 0);
    rule.setColorAt(0, c.accent);
    rule.setColorAt(1, Qt::transparent);
    p.setPen(QPen(QBrush(rule), 1));
    p.drawLine(QPointF(39, 28.5), QPointF(95, 28.5));
    return {name, number};
}

// A slanted band of light at x position |glint|, clipped to the metal parts so it reads as a
// reflection.
void PaintGlint(QPainter& p, const QPainterPath& shiny, qreal glint) {
    p.setClipPath(shiny);
    QLinearGradient band(glint - 9, 0, glint + 9, 0);
    band.setColorAt(0, Qt::transparent);
    band.setColorAt(0.35, QColor(255, 255, 255, 120));
    band.setColorAt(0.5, QColor(255, 255, 255, 250));
    band.setColorAt(0.65, QColor(255, 255, 255, 120));
    band.setColorAt(1, Qt::transparent);
    p.setPen(Qt::NoPen);
    p.setBrush(band);
    p.setTransform(QTransform().translate(glint, 29).shear(-0.45, 0).translate(-glint, -29));
    p.drawRect(QRectF(glint - 9, 0, 18, 58));
}

// One logo picture. |glint| is the x position of the light sweeping over the metal, if any.
QPixmap PaintLogo(const Colourway& c, qreal gearDegrees, std::optional<qreal> glint,
                  bool versionBadge) {
    QPixmap pixmap(100, 58);
    pixmap.fill(QColor(239, 239, 239));  // The window colour shows in the rounded corners.
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);

    PaintPlate(p, c);
    const QPainterPath emblem = PaintEmblem(p, {20, 29}, 15.5, c, gearDegrees);
    const Lettering lettering = PaintLettering(p, c);

    const qreal numberRight = lettering.number.boundingRect().right();
    if (versionBadge)
        PaintVersionBadge(p, {numberRight + 4, 33.5, 95 - numberRight - 4, 12}, c);
    else
        PaintStripes(p, {numberRight + 6, 35, 94 - numberRight - 6, 9}, c);

    if (glint)
        PaintGlint(p, lettering.name.united(lettering.number).united(emblem), *glint);
    return pixmap;
}

}  // namespace

std::array<QPixmap, kLogoImages> LogoImages() {
    std::array<QPixmap, kLogoImages> images;
    constexpr int frames = 11;
    for (int frame = 0; frame < frames; ++frame) {
        // The cog has 8 teeth, so turning it by one tooth pitch per cycle loops seamlessly; the
        // glint starts and ends just off the plate so the jump back is not visible.
        const qreal degrees = 45.0 * frame / frames;
        const qreal glint = -14 + 128.0 * frame / frames;
        images[frame] = PaintLogo(kDay, degrees, glint, false);
    }
    images[11] = PaintLogo(kNight, 0, std::nullopt, false);
    images[12] = PaintLogo(kDay, 0, std::nullopt, false);
    images[13] = PaintLogo(kDay, 22.5, std::nullopt, true);
    return images;
}

}  // namespace karvex
