// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QFont>
#include <QLinearGradient>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QString>

class QPainter;

// What the logo frames, the button pictures and the program icon draw with: the colours,
// the bold lettering and the emblem.
namespace karvex::artwork {

// One colourway of the logo: gunmetal and amber by day, steel blue and ice by night.
struct Colourway {
    QColor plateTop, plateBottom, bevelLight, bevelDark;
    QColor accentLight, accent, accentDark;
    QColor letterLight, letterDark;
};

inline const Colourway kDay{{0x4a, 0x51, 0x5a}, {0x1e, 0x22, 0x27}, {0x8c, 0x96, 0xa1},
                            {0x0c, 0x0e, 0x11}, {0xff, 0xd6, 0x7a}, {0xf2, 0xa0, 0x1c},
                            {0x9c, 0x5a, 0x00}, {0xf4, 0xf6, 0xf8}, {0x9d, 0xa8, 0xb4}};
inline const Colourway kNight{{0x24, 0x3a, 0x5c}, {0x0a, 0x12, 0x22}, {0x6f, 0x8f, 0xbf},
                              {0x03, 0x06, 0x0d}, {0xb8, 0xf0, 0xff}, {0x3f, 0xb8, 0xe8},
                              {0x14, 0x5a, 0x88}, {0xe8, 0xf2, 0xff}, {0x8a, 0xa4, 0xc8}};

// The icons share the day colours; containers are steel, the action in each picture is amber.
inline const QColor kOutline(0x23, 0x27, 0x2d);
inline const QColor kSteelLight(0xd5, 0xdb, 0xe1);
inline const QColor kSteel(0x9a, 0xa5, 0xb1);
inline const QColor kSteelDark(0x5f, 0x6a, 0x76);
inline const QColor kPaper(0xfa, 0xfa, 0xf6);

QFont BoldFont(int pixelSize);

// Text as a path, scaled to fit |box| and placed at its left edge, vertically centred. Paths
// rather than drawText so the gradient fill and the glint clip can use the exact outlines.
QPainterPath FittedText(const QString& text, const QFont& font, const QRectF& box);

// A top-to-bottom gradient from |upper| at |top| to |lower| at |bottom|.
QLinearGradient Vertical(qreal top, qreal bottom, const QColor& upper, const QColor& lower);

// The emblem: an amber cog around a dark hub stamped with a "K". Only the cog turns, so the
// letter stays readable in every animation frame. Returns the shiny parts, for the glint.
QPainterPath PaintEmblem(QPainter& p, QPointF centre, qreal radius, const Colourway& c,
                         qreal degrees);

}  // namespace karvex::artwork
