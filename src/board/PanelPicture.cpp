#include "board/PanelPicture.h"

#include "board/BoardGeometry.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>

namespace board {
namespace {

// Edges are filled pixel rows and columns rather than stroked lines, so that at any zoom they
// cover exactly the magnified pixels.
void outline(QPainter& p, const QRect& r, const QColor& colour) {
    p.fillRect(r.left(), r.top(), r.width(), 1, colour);
    p.fillRect(r.left(), r.bottom(), r.width(), 1, colour);
    p.fillRect(r.left(), r.top(), 1, r.height(), colour);
    p.fillRect(r.right(), r.top(), 1, r.height(), colour);
}

// A recessed window in the face: a black pane with a dark rim and a light lower-right edge.
void drawWindow(QPainter& p, const QRect& inner, int rim) {
    const QRect outer = inner.adjusted(-rim, -rim, rim, rim);
    p.fillRect(outer, QColor(0x0b, 0x0b, 0x0d));
    const QColor dark(0x05, 0x05, 0x06), light(0x5a, 0x5c, 0x62);
    p.fillRect(outer.left(), outer.top(), outer.width(), 1, dark);
    p.fillRect(outer.left(), outer.top(), 1, outer.height(), dark);
    p.fillRect(outer.left() + 1, outer.bottom(), outer.width() - 1, 1, light);
    p.fillRect(outer.right(), outer.top() + 1, 1, outer.height() - 1, light);
}

QFont headingFont(int pixelSize, bool bold = false) {
    QFont f(QStringLiteral("IPAGothic"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

} // namespace

QPixmap makePanelPicture(qreal zoom) {
    QPixmap pix((QSizeF(ClientSize) * zoom).toSize());
    QPainter p(&pix);
    p.scale(zoom, zoom);
    const QRect face(QPoint(0, 0), ClientSize);

    // Body: dark enamel with a slight sheen towards the top, and a bezel round the edge.
    QLinearGradient body(0, 0, 0, ClientSize.height());
    body.setColorAt(0.0, QColor(0x3a, 0x3d, 0x44));
    body.setColorAt(0.12, QColor(0x26, 0x28, 0x2d));
    body.setColorAt(1.0, QColor(0x17, 0x18, 0x1b));
    p.fillRect(face, body);
    outline(p, face, QColor(0x6e, 0x72, 0x7a));
    outline(p, face.adjusted(2, 2, -2, -2), QColor(0x0a, 0x0a, 0x0c));

    // The fare grid's plate, set off from the body.
    const QRect plate(farePos(1).x() - 10, smallPos(1).y() - 6, ClientSize.width() - (farePos(1).x() - 10) - 8,
                      farePos(25).y() + FareSize.height() + 8 - (smallPos(1).y() - 6));
    p.fillRect(plate, QColor(0x1f, 0x21, 0x25));
    outline(p, plate, QColor(0x4a, 0x4d, 0x54));

    // Element 0 of the displays has its window too, at the top edge beside the headings.
    for (int cell = 0; cell <= Cells; ++cell) {
        drawWindow(p, QRect(smallPos(cell), SmallSize), 2);
        drawWindow(p, QRect(farePos(cell), FareSize), 2);
    }

    // Row headings left of the grid: ticket number over fare.
    p.setFont(headingFont(11, true));
    for (int r = 0; r < 4; ++r) {
        const int cell = r * Columns + 1;
        const QRect numberRow(70, smallPos(cell).y(), 40, SmallSize.height());
        const QRect fareRow(70, farePos(cell).y(), 40, FareSize.height());
        p.setPen(QColor(0xe8, 0xe8, 0xe8));
        p.drawText(numberRow, Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("整理券"));
        p.setPen(QColor(0xff, 0xc8, 0x40));
        p.drawText(fareRow, Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("運 賃"));
    }

    // Stop-name window with its heading above it.
    drawWindow(p, ChimeiRect, 3);
    p.setFont(headingFont(11, true));
    p.setPen(QColor(0xe8, 0xe8, 0xe8));
    p.drawText(QRect(ChimeiRect.x() - 8, 4, ChimeiRect.width() + 16, 14), Qt::AlignCenter, QStringLiteral("つぎは"));
    p.setFont(headingFont(9));
    p.drawText(QRect(ChimeiRect.x() - 12, ChimeiRect.bottom() + 5, ChimeiRect.width() + 24, 14), Qt::AlignCenter,
               QStringLiteral("停留所"));

    // Clock window at the top edge, between its two headings.
    const QRect clock(ClockPos[0].x(), 0, ClockPos[1].x() + ClockSize.width() - ClockPos[0].x(),
                      ClockPos[0].y() + ClockSize.height());
    drawWindow(p, clock, 2);
    p.fillRect(QRect(ClockPos[0].x() + ClockSize.width() - 1, 3, 3, 3), QColor(0xff, 0xc8, 0x40));
    p.fillRect(QRect(ClockPos[0].x() + ClockSize.width() - 1, 9, 3, 3), QColor(0xff, 0xc8, 0x40));
    p.setFont(headingFont(10, true));
    p.setPen(QColor(0xe8, 0xe8, 0xe8));
    p.drawText(QRect(clock.x() - 44, 2, 38, 14), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("現在時刻"));
    p.drawText(QRect(farePos(0).x() + FareSize.width() + 8, 2, 100, 14), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("運賃表示器"));
    p.setPen(QColor(0x9a, 0x9d, 0xa5));
    p.setFont(headingFont(9));
    p.drawText(QRect(clock.right() + 10, 2, 210, 14), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("整理券番号の運賃をお支払いください"));
    p.end();
    return pix;
}

} // namespace board
