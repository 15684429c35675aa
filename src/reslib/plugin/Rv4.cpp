#include "reslib/plugin/Rv4.h"

#include "reslib/Cp932.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStringList>
#include <QTextEdit>
#include <algorithm>
#include <cmath>
#include <memory>
#include <zint.h>

using namespace ticketplugin;

namespace {

std::string utf8(const QByteArray& cp932Text) { return cp932::toUtf8(cp932Text.toStdString()); }

std::shared_ptr<const Plugin> pluginAt(const QByteArray& path) { return load(utf8(path)); }

// The text fills the item's height centred, aligned across its width; a text wider than the
// item is squeezed across, as a ticket printer condenses a long stop name, down to a pixel a
// character. The characters beyond that are not printed, and so neither measured nor laid out: a
// stop name may run to 32,767 characters.
void drawText(QPainter& p, const Item& item, const QString& whole) {
    const QString text = whole.left(std::max(item.w, 0));
    QFont font(item.font == Font::Mincho ? QStringLiteral("IPAMincho") : QStringLiteral("IPAGothic"));
    font.setPixelSize(item.size);
    font.setBold(item.bold);
    const QFontMetricsF fm(font);
    const qreal natural = fm.horizontalAdvance(text);
    const qreal squeeze = natural > item.w ? item.w / natural : 1.0;
    const qreal room = item.w - natural * squeeze;
    const qreal x = item.x + (item.align == Align::Left ? 0 : item.align == Align::Center ? room / 2 : room);
    p.save();
    p.translate(x, item.y + (item.h - fm.ascent() - fm.descent()) / 2 + fm.ascent());
    p.scale(squeeze, 1);
    p.setFont(font);
    p.drawText(QPointF(0, 0), text);
    p.restore();
}

void drawFrame(QPainter& p, const Item& item) {
    const int t = item.line;
    p.fillRect(item.x, item.y, item.w, t, Qt::black);
    p.fillRect(item.x, item.y + item.h - t, item.w, t, Qt::black);
    p.fillRect(item.x, item.y, t, item.h, Qt::black);
    p.fillRect(item.x + item.w - t, item.y, t, item.h, Qt::black);
}

// zint encodes; its vector bars are drawn with the widest whole-pixel module that fits the item,
// centred, over the item's full height. An item narrower than the symbol squeezes the bars.
void drawBarcode(QPainter& p, const Item& item, const std::string& digits) {
    std::unique_ptr<zint_symbol, void (*)(zint_symbol*)> symbol(ZBarcode_Create(), ZBarcode_Delete);
    if (!symbol) return;
    std::string data = digits;
    switch (item.symbology) {
    case Symbology::Code128: symbol->symbology = BARCODE_CODE128; break;
    case Symbology::Itf: symbol->symbology = BARCODE_C25INTER; break;
    case Symbology::Nw7:
        symbol->symbology = BARCODE_CODABAR;
        data = "A" + digits + "A";
        break;
    }
    symbol->show_hrt = 0;
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
    if (ZBarcode_Encode(symbol.get(), bytes, int(data.size())) >= ZINT_ERROR ||
        ZBarcode_Buffer_Vector(symbol.get(), 0) >= ZINT_ERROR || symbol->width <= 0)
        return;
    const double modules = symbol->width;
    const double unit = symbol->vector->width / modules;
    const double px = item.w >= modules ? std::floor(item.w / modules) : item.w / modules;
    const double left = item.x + std::floor((item.w - modules * px) / 2);
    for (const zint_vector_rect* r = symbol->vector->rectangles; r; r = r->next)
        p.fillRect(QRectF(left + r->x / unit * px, item.y, r->width / unit * px, item.h), Qt::black);
}

} // namespace

int32_t RV4_GetPlgInfo(const QByteArray& path, PlgInfo& info) {
    const auto plugin = pluginAt(path);
    if (!plugin) return 0;
    info = plugin->info;
    return 1;
}

void RV4_SetPlgComment(const QByteArray& path, QWidget* textBox) {
    const auto plugin = pluginAt(path);
    if (!plugin) return;
    QStringList lines;
    for (const auto& line : plugin->remarks) lines << QString::fromStdString(line);
    if (auto* plain = qobject_cast<QPlainTextEdit*>(textBox))
        plain->setPlainText(lines.join(u'\n'));
    else if (auto* rich = qobject_cast<QTextEdit*>(textBox))
        rich->setPlainText(lines.join(u'\n'));
    else if (auto* line = qobject_cast<QLineEdit*>(textBox))
        line->setText(lines.join(u' '));
}

void RV4_SetCorpAddList(const QByteArray& path, QWidget* list) {
    const auto plugin = pluginAt(path);
    auto* combo = qobject_cast<QComboBox*>(list);
    if (!plugin || !combo) return;
    // A combo box selects its first item when it gets one; the operator picks the company.
    const int chosen = combo->currentIndex();
    for (const auto& name : plugin->companies) combo->addItem(QString::fromStdString(name));
    combo->setCurrentIndex(chosen);
}

void RV4_DrawSeiriken(const QByteArray& path, QPainter* dc, const QByteArray& stopName, const QByteArray& dateText,
                      const QByteArray& timeText, int32_t routeNumber, int16_t ticketNumber, int16_t stopIndex,
                      int16_t companyIndex) {
    const auto plugin = pluginAt(path);
    if (!plugin || !dc) return;
    const bool hasCompany = companyIndex >= 0 && std::size_t(companyIndex) < plugin->companies.size();
    const TicketData data{utf8(stopName),
                          dateText.toStdString(),
                          timeText.toStdString(),
                          routeNumber,
                          ticketNumber,
                          stopIndex,
                          hasCompany ? plugin->companies[companyIndex] : std::string()};
    const QRect paper(0, 0, plugin->info.width, plugin->info.height);

    dc->save();
    dc->setClipRect(paper, Qt::IntersectClip);
    dc->setRenderHint(QPainter::Antialiasing, false);
    dc->fillRect(paper, Qt::white);
    dc->setPen(Qt::black);
    for (const Item& item : plugin->layout) {
        switch (item.kind) {
        case Item::Text: drawText(*dc, item, QString::fromStdString(expand(item.text, data))); break;
        case Item::Rule: dc->fillRect(item.x, item.y, item.w, item.h, Qt::black); break;
        case Item::Frame: drawFrame(*dc, item); break;
        case Item::Barcode:
            if (const auto digits = barcodeDigits(plugin->info, item, data)) drawBarcode(*dc, item, *digits);
            break;
        }
    }
    dc->restore();
}
