#include "Messages.h"

namespace msg {
namespace {
Handler& handler() {
    static Handler h;
    return h;
}
} // namespace

void setHandler(Handler h) { handler() = std::move(h); }

QMessageBox::StandardButton show(QWidget* parent, const Request& r) {
    if (handler()) return handler()(r);
    QMessageBox box(r.icon, r.title, r.text, r.buttons, parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace msg
