#pragma once
// Every message box of the program goes through here, so that the exact title, icon, buttons
// and text are built in one place and tests can capture them instead of showing them.
#include <QMessageBox>
#include <QString>
#include <functional>
#include <memory>

namespace msg {

inline const QString AppTitle = QStringLiteral("FerioVer4");

struct Request {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
};

// Replaces the real box (tests); returns the button "pressed". An empty handler restores it.
using Handler = std::function<QMessageBox::StandardButton(const Request&)>;
void setHandler(Handler handler);

// The box as it is shown: title, text, icon, and the buttons with Japanese captions, as the
// program's own texts are Japanese whatever the desktop's language.
std::unique_ptr<QMessageBox> build(QWidget* parent, const Request& request);

// Shows a modal box and returns the button chosen.
QMessageBox::StandardButton show(QWidget* parent, const Request& request);

// The common case: OK only, no icon, the program's title.
inline void info(QWidget* parent, const QString& text) { show(parent, Request{AppTitle, text}); }

} // namespace msg
