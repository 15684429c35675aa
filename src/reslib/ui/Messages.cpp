#include "reslib/ui/Messages.h"

#include <QAbstractButton>

namespace msg {
namespace {
Handler& handler() {
    static Handler h;
    return h;
}
} // namespace

void setHandler(Handler h) { handler() = std::move(h); }

std::unique_ptr<QMessageBox> build(QWidget* parent, const Request& r) {
    auto box = std::make_unique<QMessageBox>(r.icon, r.title, r.text, r.buttons, parent);
    const std::pair<QMessageBox::StandardButton, const char*> captions[] = {
        {QMessageBox::Ok, "OK"},
        {QMessageBox::Cancel, "キャンセル"},
        {QMessageBox::Yes, "はい(&Y)"},
        {QMessageBox::No, "いいえ(&N)"},
    };
    for (const auto& [button, caption] : captions)
        if (QAbstractButton* b = box->button(button)) b->setText(QString::fromUtf8(caption));
    return box;
}

QMessageBox::StandardButton show(QWidget* parent, const Request& r) {
    if (handler()) return handler()(r);
    return static_cast<QMessageBox::StandardButton>(build(parent, r)->exec());
}

} // namespace msg
