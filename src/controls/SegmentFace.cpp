#include "controls/SegmentFace.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>
#include <algorithm>
#include <array>
#include <cmath>

namespace segface {
namespace {

// Segment bits: a top, b upper right, c lower right, d bottom, e lower left, f upper left,
// g middle, p decimal point.
enum : uint8_t { A = 1, B = 2, C = 4, D = 8, E = 16, F = 32, G = 64, P = 128 };

uint8_t segmentsOf(QChar ch) {
    switch (ch.unicode()) {
    case '0':
    case 'O': return A | B | C | D | E | F;
    case '1': return B | C;
    case '2': return A | B | D | E | G;
    case '3': return A | B | C | D | G;
    case '4': return B | C | F | G;
    case '5':
    case 'S':
    case 's': return A | C | D | F | G;
    case '6': return A | C | D | E | F | G;
    case '7': return A | B | C;
    case '8': return A | B | C | D | E | F | G;
    case '9': return A | B | C | D | F | G;
    case '-': return G;
    case '_': return D;
    case '.': return P;
    case 'A':
    case 'a': return A | B | C | E | F | G;
    case 'B':
    case 'b': return C | D | E | F | G;
    case 'C': return A | D | E | F;
    case 'c': return D | E | G;
    case 'D':
    case 'd': return B | C | D | E | G;
    case 'E':
    case 'e': return A | D | E | F | G;
    case 'F':
    case 'f': return A | E | F | G;
    case 'G':
    case 'g': return A | C | D | E | F;
    case 'H': return B | C | E | F | G;
    case 'h': return C | E | F | G;
    case 'I':
    case 'i': return E | F;
    case 'J':
    case 'j': return B | C | D | E;
    case 'L':
    case 'l': return D | E | F;
    case 'N':
    case 'n': return C | E | G;
    case 'o': return C | D | E | G;
    case 'P':
    case 'p': return A | B | E | F | G;
    case 'R':
    case 'r': return E | G;
    case 'T':
    case 't': return D | E | F | G;
    case 'U': return B | C | D | E | F;
    case 'u': return C | D | E;
    case 'Y':
    case 'y': return B | C | D | F | G;
    default: return 0;
    }
}

enum class Face { A, B, C };

Face faceOf(int16_t style) { return style == 1 ? Face::B : style == 2 ? Face::C : Face::A; }

// One segment from joint p to joint q, `thick` wide, ends kept `gap` apart from the next
// segment. An end at an outer corner is mitred in face C (the outer edge reaches the corner);
// every other end is pointed.
QPainterPath segment(QPointF p, QPointF q, QPointF outward, qreal thick, qreal gap, Face face, bool cornerP,
                     bool cornerQ) {
    const QPointF u = (q - p) / std::hypot(q.x() - p.x(), q.y() - p.y());
    const QPointF n(-u.y(), u.x());
    const qreal h = thick / 2;
    // The two edge points at the end at `j`, going along `dir` into the segment, from the -n
    // side to the +n side.
    const auto endAt = [&](QPointF j, QPointF dir, bool corner) -> QPolygonF {
        if (face == Face::C && corner) {
            const QPointF o = outward * h, in = dir * (h + gap), out = dir * (gap - h);
            const bool plusIsOuter = QPointF::dotProduct(outward, n) > 0;
            const QPointF minusSide = j + (plusIsOuter ? -o + in : o + out);
            const QPointF plusSide = j + (plusIsOuter ? o + out : -o + in);
            return {minusSide, plusSide};
        }
        const QPointF s = j + dir * gap;
        return {s + dir * h - n * h, s, s + dir * h + n * h};
    };
    QPolygonF poly = endAt(p, u, cornerP);
    QPolygonF back = endAt(q, -u, cornerQ);
    std::reverse(back.begin(), back.end());
    poly << back;
    QPainterPath path;
    path.addPolygon(poly);
    path.closeSubpath();
    return path;
}

QImage render(Face face, QSize cell, uint8_t segments, QRgb color, qreal zoom, int topMargin) {
    QImage img((QSizeF(cell) * zoom).toSize().expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    if (segments == 0) return img;

    const qreal w = cell.width(), h = cell.height();
    // Segment edges fall on whole pixels, so straight edges stay crisp at these small sizes.
    // The cell's top is one pixel above the control: the digit spans control rows
    // 1 + topMargin … h - 2.
    const qreal top = 2 + topMargin, bottom = h;
    // Bold weight, though never more than a sixth of the digit's height: a digit shortened by a
    // top margin keeps open counters.
    const qreal thick = std::round(std::max(2.0, std::min(w * 0.2, (bottom - top) / 6)));
    const qreal gap = std::max(0.4, thick * 0.18);
    const qreal margin = std::round(w * 0.16);
    const qreal L = margin + thick / 2, R = w - margin - thick / 2;
    const qreal T = top + thick / 2, Bm = bottom - thick / 2;
    const qreal M = std::floor((top + bottom - thick) / 2) + thick / 2;

    struct Seg {
        QPointF p, q, outward;
    };
    const std::array<Seg, 7> segs{{
        {{L, T}, {R, T}, {0, -1}},  // a
        {{R, T}, {R, M}, {1, 0}},   // b
        {{R, Bm}, {R, M}, {1, 0}},  // c
        {{L, Bm}, {R, Bm}, {0, 1}}, // d
        {{L, Bm}, {L, M}, {-1, 0}}, // e
        {{L, T}, {L, M}, {-1, 0}},  // f
        {{L, M}, {R, M}, {0, 0}},   // g
    }};
    QPainterPath path;
    for (size_t i = 0; i < segs.size(); ++i) {
        if (!(segments & (1u << i))) continue;
        const Seg& s = segs[i];
        // Every segment but the middle bar starts at an outer corner; uprights end at the middle.
        const bool bar = s.p.y() == s.q.y();
        path.addPath(segment(s.p, s.q, s.outward, thick, gap, face, !s.outward.isNull(), bar && !s.outward.isNull()));
    }
    if (segments & P) path.addEllipse(QPointF(w / 2, Bm), thick * 0.6, thick * 0.6);
    path.setFillRule(Qt::WindingFill);

    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(zoom, zoom);
    if (face == Face::B) {
        // Slanted like an italic LED face, leaning about 6 degrees about the cell's centre.
        p.translate(0, h / 2);
        p.shear(-0.1, 0);
        p.translate(0, -h / 2);
    }
    p.fillPath(path, QColor::fromRgb(color));
    return img;
}

} // namespace

QSize cellSize(int16_t degitSize) {
    switch (degitSize) {
    case 1: return {17, 26};
    case 2: return {19, 29};
    case 3: return {11, 15};
    default: return {13, 20};
    }
}

QImage glyph(int16_t style, int16_t degitSize, QChar ch, QRgb color, qreal zoom, int topMargin) {
    // Glyphs are shared by every display; the few colours in use keep this small, and a host
    // that cycles through many colours only rebuilds what it needs.
    static QHash<quint64, QImage> cache;
    const Face face = faceOf(style);
    const int size = (degitSize >= 1 && degitSize <= 3) ? degitSize : 0;
    const uint8_t segments = segmentsOf(ch);
    const quint64 hundredths = quint64(std::lround(zoom * 100)) & 0xFFFF;
    const quint64 rows = quint64(std::clamp(topMargin, 0, 255));
    const quint64 key = (hundredths << 48) | (quint64(color & 0xFFFFFFu) << 24) |
                        (quint64(static_cast<int>(face)) << 18) | (quint64(size) << 16) | (rows << 8) | segments;
    if (const auto it = cache.constFind(key); it != cache.constEnd()) return *it;
    if (cache.size() > 4096) cache.clear();
    const QImage img = render(face, cellSize(size), segments, color, zoom, static_cast<int>(rows));
    cache.insert(key, img);
    return img;
}

} // namespace segface
