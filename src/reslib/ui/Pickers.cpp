#include "reslib/ui/Pickers.h"

#include "reslib/Cp932.h"
#include "reslib/ui/Bgr.h"
#include "reslib/ui/QtCp932.h"

#include <QCalendarWidget>
#include <QColorDialog>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace picker {
namespace {
Handler& handler() {
    static Handler h;
    return h;
}
} // namespace

void setHandler(Handler h) { handler() = std::move(h); }

} // namespace picker

namespace {

// A path CP932 cannot hold comes back empty, as a cancel: a '?' in its place would name
// another file, or none, and the caller would store it without noticing.
QByteArray pathToCp932(const QString& path) {
    const auto bytes = cp932::fromUtf8(path.toStdString());
    return bytes ? QByteArray::fromStdString(*bytes) : QByteArray();
}

// "desc\0pattern\0...\0" into Qt's "desc (pattern ...)" filters. A description that already
// ends with its pattern in parentheses is kept as it reads; Qt separates patterns by spaces.
QStringList nameFilters(const QByteArray& filters) {
    const QList<QByteArray> parts = filters.split('\0');
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size() && !parts[i].isEmpty(); i += 2) {
        const QString desc = fromCp932(parts[i]);
        const QString pattern = fromCp932(parts[i + 1]);
        const QString qtPattern = QStringLiteral("(%1)").arg(QString(pattern).replace(u';', u' '));
        const QString suffix = QStringLiteral("(%1)").arg(pattern);
        if (!pattern.isEmpty() && desc.endsWith(suffix))
            result << desc.chopped(suffix.size()) + qtPattern;
        else
            result << desc + u' ' + qtPattern;
    }
    return result;
}

} // namespace

QByteArray filterList(const std::vector<std::pair<QString, QString>>& items) {
    QByteArray list;
    for (const auto& [desc, pattern] : items) {
        list += toCp932(desc) + '\0';
        list += toCp932(pattern) + '\0';
    }
    return list + '\0';
}

// No caller sets a flag, so `flags` means nothing here; `initial`, when given, is where the
// dialog starts.
QByteArray Rv3FileDlg(QWidget* owner, int32_t /*flags*/, const QByteArray& filters, const QByteArray& initial,
                      const QByteArray& title) {
    const picker::Request request{picker::Kind::File, fromCp932(title), nameFilters(filters)};
    if (picker::handler()) {
        const picker::Answer answer = picker::handler()(request);
        return answer.accepted ? pathToCp932(answer.path) : QByteArray();
    }
    QFileDialog dlg(owner, request.title);
    dlg.setFileMode(QFileDialog::ExistingFile);
    dlg.setNameFilters(request.nameFilters);
    if (!initial.isEmpty()) dlg.selectFile(fromCp932(initial));
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return {};
    return pathToCp932(dlg.selectedFiles().constFirst());
}

QByteArray Rv3FolderDlg(QWidget* owner, const QByteArray& title) {
    const picker::Request request{picker::Kind::Folder, fromCp932(title), {}};
    if (picker::handler()) {
        const picker::Answer answer = picker::handler()(request);
        return answer.accepted ? pathToCp932(answer.path) : QByteArray();
    }
    QFileDialog dlg(owner, request.title);
    dlg.setFileMode(QFileDialog::Directory);
    dlg.setOption(QFileDialog::ShowDirsOnly);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return {};
    return pathToCp932(dlg.selectedFiles().constFirst());
}

int32_t Rv3ChooseColor(QWidget* owner, int32_t& colour, CustomColorTable& custom) {
    if (picker::handler()) {
        const picker::Answer answer = picker::handler()(picker::Request{picker::Kind::Colour, {}, {}});
        if (!answer.accepted) return 0;
        colour = answer.colour;
        custom = answer.custom;
        return 1;
    }
    // Qt's dialog offers 16 custom colours, the table holds 17: the last entry stays as it is,
    // so a table saved with the settings keeps all of its entries.
    const int shared = std::min(QColorDialog::customCount(), int(custom.size()));
    for (int i = 0; i < shared; ++i) QColorDialog::setCustomColor(i, fromBgr(custom[i]));

    // Qt's own dialog, not the desktop's: only Qt's carries the custom colours in and out.
    QColorDialog dlg(fromBgr(colour), owner);
    dlg.setOption(QColorDialog::DontUseNativeDialog);
    if (dlg.exec() != QDialog::Accepted) return 0;
    colour = toBgr(dlg.selectedColor());
    for (int i = 0; i < shared; ++i) custom[i] = toBgr(QColorDialog::customColor(i));
    return 1;
}

int32_t Call_dlg111(QWidget* owner, SYSTEMTIME& date) {
    if (picker::handler()) {
        const picker::Answer answer = picker::handler()(picker::Request{picker::Kind::Date, {}, {}});
        if (!answer.accepted) return 0;
        date = answer.date;
        return 1;
    }

    QDialog dlg(owner);
    dlg.setObjectName(QStringLiteral("dlg111"));
    dlg.setWindowTitle(QStringLiteral("日付の選択"));
    dlg.setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* calendar = new QCalendarWidget(&dlg);
    calendar->setLocale(QLocale(QLocale::Japanese, QLocale::Japan));
    calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    const QDate given(date.wYear, date.wMonth, date.wDay);
    calendar->setSelectedDate(given.isValid() ? given : QDate::currentDate());
    // A double click or Enter on a day chooses it, as OK would.
    QObject::connect(calendar, &QCalendarWidget::activated, &dlg, &QDialog::accept);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dlg);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);

    auto* layout = new QVBoxLayout(&dlg);
    layout->addWidget(calendar);
    layout->addWidget(buttons);
    if (dlg.exec() != QDialog::Accepted) return 0;

    const QDate chosen = calendar->selectedDate();
    date = SYSTEMTIME{};
    date.wYear = int16_t(chosen.year());
    date.wMonth = int16_t(chosen.month());
    date.wDayOfWeek = int16_t(chosen.dayOfWeek() % 7); // Qt counts Monday 1 … Sunday 7; the record Sunday 0
    date.wDay = int16_t(chosen.day());
    return 1;
}
