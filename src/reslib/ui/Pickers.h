#pragma once
// The resource library's pickers: file, folder, colour and date. Texts in and out are CP932
// bytes, as the callers pass them. Every picker goes through one place, so that a test can
// answer it instead of a person (setHandler), as the message boxes do.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

// The date record of the date picker: year, month, day of week, day, hour, minute, second, ms.
struct SYSTEMTIME {
    int16_t wYear = 0, wMonth = 0, wDayOfWeek = 0, wDay = 0;
    int16_t wHour = 0, wMinute = 0, wSecond = 0, wMilliseconds = 0;
};

// The colour picker's table of custom colours, 0x00BBGGRR each; kept by the caller across calls.
using CustomColorTable = std::array<int32_t, 17>;

// A filter list in the library's form: description NUL pattern NUL ... NUL, CP932.
QByteArray filterList(const std::vector<std::pair<QString, QString>>& items);

// Full path of the chosen file, or empty when cancelled. `flags` and `initial` are passed on
// unchanged by every caller (0 and empty).
QByteArray Rv3FileDlg(QWidget* owner, int32_t flags, const QByteArray& filters, const QByteArray& initial,
                      const QByteArray& title);
// The chosen folder, or empty when cancelled.
QByteArray Rv3FolderDlg(QWidget* owner, const QByteArray& title);
// Non-zero when a colour was chosen: it is then in `colour`, and `custom` holds the custom colours
// as the dialog left them (entries 1 … 16; the dialog has no 17th, so that one is kept).
int32_t Rv3ChooseColor(QWidget* owner, int32_t& colour, CustomColorTable& custom);
// Non-zero when a date was chosen: it is then in `date`.
int32_t Call_dlg111(QWidget* owner, SYSTEMTIME& date);

namespace picker {

enum class Kind { File, Folder, Colour, Date };

// What a picker was asked, for a test to answer.
struct Request {
    Kind kind;
    QString title;           // file and folder pickers
    QStringList nameFilters; // file picker, as Qt name filters ("Waveサウンド(*.wav)", "画像 (*.bmp *.gif)" ...)
};

// A test's answer: `accepted` false is a cancel. Path for file and folder (UTF-8 QString),
// colour (0x00BBGGRR) and custom table for the colour picker, date for the date picker.
struct Answer {
    bool accepted = false;
    QString path;
    int32_t colour = 0;
    CustomColorTable custom{};
    SYSTEMTIME date{};
};

// Replaces the real pickers (tests); an empty handler restores them. For the colour picker
// the handler's answer.custom replaces the caller's table only when accepted.
using Handler = std::function<Answer(const Request&)>;
void setHandler(Handler handler);

} // namespace picker
