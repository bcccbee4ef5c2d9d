#include "artwork.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <optional>
#include <utility>

namespace karvex {
namespace {

// One colourway of the logo: gunmetal and amber by day, steel blue and ice by night.
struct Colourway {
    QColor plateTop, plateBottom, bevelLight, bevelDark;
    QColor accentLight, accent, accentDark;
    QColor letterLight, letterDark;
};

const Colourway kDay{{0x4a, 0x51, 0x5a}, {0x1e, 0x22, 0x27}, {0x8c, 0x96, 0xa1},
                     {0x0c, 0x0e, 0x11}, {0xff, 0xd6, 0x7a}, {0xf2, 0xa0, 0x1c},
                     {0x9c, 0x5a, 0x00}, {0xf4, 0xf6, 0xf8}, {0x9d, 0xa8, 0xb4}};
const Colourway kNight{{0x24, 0x3a, 0x5c}, {0x0a, 0x12, 0x22}, {0x6f, 0x8f, 0xbf},
                       {0x03, 0x06, 0x0d}, {0xb8, 0xf0, 0xff}, {0x3f, 0xb8, 0xe8},
                       {0x14, 0x5a, 0x88}, {0xe8, 0xf2, 0xff}, {0x8a, 0xa4, 0xc8}};

// The icons share the day colours; containers are steel, the action in each picture is amber.
const QColor kOutline(0x23, 0x27, 0x2d);
const QColor kSteelLight(0xd5, 0xdb, 0xe1);
const QColor kSteel(0x9a, 0xa5, 0xb1);
const QColor kSteelDark(0x5f, 0x6a, 0x76);
const QColor kPaper(0xfa, 0xfa, 0xf6);

QFont BoldFont(int pixelSize) {
    QFont font;
    font.setFamilies({"DejaVu Sans", "Liberation Sans"});
    font.setPixelSize(pixelSize);
    font.setBold(true);
    return font;
}

// Text as a path, scaled to fit |box| and placed at its left edge, vertically centred. Paths
// rather than drawText so the gradient fill and the glint clip can use the exact outlines.
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

// The emblem: an amber cog around a dark hub stamped with a "K". Only the cog turns, so the
// letter stays readable in every animation frame.
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
    p.drawText(box, Qt::AlignCenter, "v1.0");
}

// One logo picture. |glint| is the x position of the light sweeping over the metal, if any.
QPixmap PaintLogo(const Colourway& c, qreal gearDegrees, std::optional<qreal> glint,
                  bool versionBadge) {
    QPixmap pixmap(100, 58);
    pixmap.fill(QColor(239, 239, 239));  // The window colour shows in the rounded corners.
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);

    // The plate: a gradient, faint brushed lines, a dark rim and a light upper bevel.
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

    const QPainterPath emblem = PaintEmblem(p, {20, 29}, 15.5, c, gearDegrees);

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

    const qreal numberRight = number.boundingRect().right();
    if (versionBadge)
        PaintVersionBadge(p, {numberRight + 4, 33.5, 95 - numberRight - 4, 12}, c);
    else
        PaintStripes(p, {numberRight + 6, 35, 94 - numberRight - 6, 9}, c);

    if (glint) {
        // A slanted band of light, clipped to the metal parts so it reads as a reflection.
        QPainterPath shiny = name.united(number).united(emblem);
        p.setClipPath(shiny);
        QLinearGradient band(*glint - 9, 0, *glint + 9, 0);
        band.setColorAt(0, Qt::transparent);
        band.setColorAt(0.35, QColor(255, 255, 255, 120));
        band.setColorAt(0.5, QColor(255, 255, 255, 250));
        band.setColorAt(0.65, QColor(255, 255, 255, 120));
        band.setColorAt(1, Qt::transparent);
        p.setPen(Qt::NoPen);
        p.setBrush(band);
        p.setTransform(QTransform().translate(*glint, 29).shear(-0.45, 0).translate(-*glint, -29));
        p.drawRect(QRectF(*glint - 9, 0, 18, 58));
    }
    return pixmap;
}

std::array<QPixmap, kLogoImages> BuildLogos() {
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

// ---- Button pictures, drawn in a 40 x 40 design space --------------------------------------

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

void PaintButton(QPainter& p, ButtonPicture picture) {
    switch (picture) {
        case ButtonPicture::Open: {
            // An open folder with a crate inside.
            p.setPen(OutlinePen());
            p.setBrush(kSteelDark);
            p.drawPolygon(QPolygonF{{3, 34}, {3, 9}, {13, 9}, {16, 12}, {33, 12}, {33, 34}});
            PaintCrate(p, {12, 15, 15, 12}, false);
            p.setPen(OutlinePen());
            p.setBrush(Vertical(19, 35, kSteelLight, kSteel));
            p.drawPolygon(QPolygonF{{3, 35}, {9, 20}, {38, 20}, {33, 35}});
            break;
        }
        case ButtonPicture::Make:
            PaintPage(p, {5, 3, 14, 17});
            PaintCrate(p, {4, 22, 24, 15}, false);
            p.setPen(OutlinePen());
            p.setBrush(Vertical(4, 24, kDay.accentLight, kDay.accent));
            p.drawEllipse(QPointF(29, 12), 9, 9);
            p.setPen(QPen(kOutline, 3, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(29, 7.5), QPointF(29, 16.5));
            p.drawLine(QPointF(24.5, 12), QPointF(33.5, 12));
            break;
        case ButtonPicture::Extract:
            PaintCrate(p, {3, 23, 24, 14}, true);
            PaintPage(p, {23, 2, 14, 17});
            PaintArrow(p, {15, 24}, {15, 3});
            break;
        case ButtonPicture::About: {
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
            break;
        }
        case ButtonPicture::Exit: {
            // The power symbol: an amber ring broken at the top, with a bar through the gap.
            PaintDisc(p);
            QPainterPath ring;
            ring.arcMoveTo(QRectF(10, 10, 20, 20), 125);
            ring.arcTo(QRectF(10, 10, 20, 20), 125, 290);
            // Drawn twice, wide and dark then narrow and amber, to give the stroke an outline.
            const std::array<std::pair<qreal, QColor>, 2> strokes{
                {{7.0, kOutline}, {4.0, kDay.accent}}};
            for (const auto& [width, colour] : strokes) {
                p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
                p.setBrush(Qt::NoBrush);
                p.drawPath(ring);
                p.drawLine(QPointF(20, 7), QPointF(20, 19));
            }
            break;
        }
        case ButtonPicture::Select:
            // A checklist: three rows, the first and last ticked.
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
                if (row != 1) {
                    p.setPen(QPen(kOutline, 4.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
                    const QPolygonF tick{{10, y + 2}, {13, y + 5.5}, {19, y - 2.5}};
                    p.drawPolyline(tick);
                    p.setPen(QPen(kDay.accent, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
                    p.drawPolyline(tick);
                }
            }
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

QPixmap LogoImage(int index) {
    static const std::array<QPixmap, kLogoImages> images = BuildLogos();
    if (index < 0 || index >= kLogoImages)
        return {};
    return images[index];
}

QIcon ButtonIcon(ButtonPicture picture) {
    QIcon icon;
    for (int size : {40, 80})
        icon.addPixmap(ButtonPixmap(picture, size));
    return icon;
}

QIcon ProgramIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64, 256}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        PaintEmblem(p, {size / 2.0, size / 2.0}, size * 0.47, kDay, 0);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace karvex
