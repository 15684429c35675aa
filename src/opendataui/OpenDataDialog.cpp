#include "opendataui/OpenDataDialog.h"

#include "fare/FareDigits.h"
#include "opendata/RouteWriter.h"
#include "opendataui/RouteFolder.h"
#include "reslib/ui/Messages.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSplitter>
#include <QTableWidget>
#include <QThread>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// What a pattern item carries besides its texts.
enum Role { RouteRole = Qt::UserRole, DirectionRole, TripRole, SearchRole };

// Shown only for a feed of several agencies: of one, it would repeat the same name on every line.
constexpr int AgencyColumn = 4;

QString text(const std::string& s) { return QString::fromStdString(s); }

} // namespace

OpenDataDialog::OpenDataDialog(QWidget* parent)
    : QDialog(parent),
      feedLabel_(new QLabel(QStringLiteral("フィードを開いてください。"), this)),
      progress_(new QProgressBar(this)),
      cancelButton_(new QPushButton(QStringLiteral("キャンセル"), this)),
      filter_(new QLineEdit(this)),
      routes_(new QTreeWidget(this)),
      preview_(new QTableWidget(0, 3, this)),
      warnings_(new QPlainTextEdit(this)),
      number_(new QLineEdit(this)),
      addButton_(new QPushButton(QStringLiteral("追加"), this)) {
    setWindowTitle(QStringLiteral("オープンデータから系統を追加"));
    feedLabel_->setObjectName(QStringLiteral("feed"));
    progress_->setObjectName(QStringLiteral("progress"));
    cancelButton_->setObjectName(QStringLiteral("cancel"));
    filter_->setObjectName(QStringLiteral("filter"));
    routes_->setObjectName(QStringLiteral("routes"));
    preview_->setObjectName(QStringLiteral("preview"));
    warnings_->setObjectName(QStringLiteral("warnings"));
    number_->setObjectName(QStringLiteral("number"));
    addButton_->setObjectName(QStringLiteral("add"));

    auto* openZip = new QPushButton(QStringLiteral("ZIP を開く..."), this);
    auto* openFolder = new QPushButton(QStringLiteral("フォルダーを開く..."), this);
    for (QPushButton* b : {openZip, openFolder, cancelButton_}) b->setAutoDefault(false);
    connect(openZip, &QPushButton::clicked, this, [this] {
        const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("フィードを開く"), startFolder_,
                                                          QStringLiteral("GTFS フィード (*.zip)"));
        if (!path.isEmpty()) openFeed(path);
    });
    connect(openFolder, &QPushButton::clicked, this, [this] {
        const QString path =
            QFileDialog::getExistingDirectory(this, QStringLiteral("フィードのフォルダーを開く"), startFolder_);
        if (!path.isEmpty()) openFeed(path);
    });
    connect(cancelButton_, &QPushButton::clicked, this, &OpenDataDialog::cancelRead);
    progress_->setRange(0, 100);
    progress_->hide();
    cancelButton_->hide();

    filter_->setPlaceholderText(QStringLiteral("系統番号・系統名・停留所名で絞り込み"));
    filter_->setClearButtonEnabled(true);
    connect(filter_, &QLineEdit::textChanged, this, &OpenDataDialog::filter);
    routes_->setHeaderLabels({QStringLiteral("系統"), QStringLiteral("系統名・経路"), QStringLiteral("停留所数"),
                              QStringLiteral("便数"), QStringLiteral("事業者")});
    routes_->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    routes_->header()->setStretchLastSection(false);
    connect(routes_, &QTreeWidget::currentItemChanged, this, &OpenDataDialog::preview);

    preview_->setHorizontalHeaderLabels({QStringLiteral("停留所"), QStringLiteral("読み"), QStringLiteral("運賃")});
    preview_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    preview_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    preview_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    preview_->setFocusPolicy(Qt::NoFocus);
    warnings_->setReadOnly(true);
    warnings_->setFocusPolicy(Qt::NoFocus);
    warnings_->setMaximumHeight(fontMetrics().height() * 5);
    number_->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{1,5}")), number_));
    addButton_->setDefault(true);
    addButton_->setEnabled(false);
    connect(addButton_, &QPushButton::clicked, this, &OpenDataDialog::add);
    auto* close = new QPushButton(QStringLiteral("閉じる"), this);
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &OpenDataDialog::reject);

    auto* top = new QHBoxLayout;
    top->addWidget(openZip);
    top->addWidget(openFolder);
    top->addWidget(feedLabel_, 1);
    auto* reading = new QHBoxLayout;
    reading->addWidget(progress_, 1);
    reading->addWidget(cancelButton_);
    auto* left = new QWidget(this);
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addWidget(filter_);
    leftLayout->addWidget(routes_);
    auto* right = new QWidget(this);
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->addWidget(preview_);
    rightLayout->addWidget(warnings_);
    auto* split = new QSplitter(this);
    split->addWidget(left);
    split->addWidget(right);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(new QLabel(QStringLiteral("系統番号"), this));
    bottom->addWidget(number_);
    bottom->addStretch(1);
    bottom->addWidget(addButton_);
    bottom->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(reading);
    layout->addWidget(split, 1);
    layout->addLayout(bottom);
    resize(900, 560);
}

OpenDataDialog::~OpenDataDialog() {
    if (cancel_) *cancel_ = true;
    for (const QPointer<QThread>& t : threads_)
        if (t) t->wait();
}

void OpenDataDialog::setDestination(const QString& folder, const QStringList& samples) {
    folder_ = folder;
    samples_ = samples;
}

void OpenDataDialog::openFeed(const QString& path) {
    cancelRead();
    auto cancel = std::make_shared<std::atomic<bool>>(false);
    cancel_ = cancel;
    const int generation = ++generation_;
    progress_->setValue(0);
    progress_->show();
    cancelButton_->show();
    QThread* thread = QThread::create([this, cancel, generation, path] {
        std::shared_ptr<const opendata::Timetable> table;
        QString error;
        try {
            opendata::Feed feed(path.toStdString());
            const std::uint64_t total = std::max<std::uint64_t>(feed.size(), 1);
            int shown = 0;
            feed.onProgress([&](std::uint64_t done) {
                if (const int percent = static_cast<int>(std::min<std::uint64_t>(done * 100 / total, 100));
                    percent != shown) {
                    shown = percent;
                    QMetaObject::invokeMethod(
                        this,
                        [this, generation, percent] {
                            if (generation == generation_) progress_->setValue(percent);
                        },
                        Qt::QueuedConnection);
                }
                return !*cancel;
            });
            table = std::make_shared<const opendata::Timetable>(opendata::Timetable::read(feed));
        } catch (const opendata::Cancelled&) {
            return;
        } catch (const std::exception& e) { // a feed's fault, or one too large for this machine
            error = QString::fromStdString(e.what());
        }
        QMetaObject::invokeMethod(
            this, [this, generation, path, table, error] { finishRead(generation, path, table, error); },
            Qt::QueuedConnection);
    });
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    std::erase_if(threads_, [](const QPointer<QThread>& t) { return t.isNull(); });
    threads_.emplace_back(thread);
    thread->start();
}

void OpenDataDialog::cancelRead() {
    if (!cancel_) return;
    *cancel_ = true;
    cancel_.reset();
    ++generation_;
    progress_->hide();
    cancelButton_->hide();
}

void OpenDataDialog::reject() {
    cancelRead();
    QDialog::reject();
}

void OpenDataDialog::finishRead(int generation, const QString& path, std::shared_ptr<const opendata::Timetable> table,
                                const QString& error) {
    if (generation != generation_) return;
    cancelRead();
    if (!error.isEmpty()) { // the previous feed stays listed
        msg::show(this,
                  {msg::AppTitle, QDir::toNativeSeparators(path) + QStringLiteral(": ") + error, QMessageBox::Warning});
        return;
    }
    table_ = std::move(table);
    feedLabel_->setText(QDir::toNativeSeparators(path));
    startFolder_ = QFileInfo(path).absolutePath();
    list();
    emit feedOpened(path);
}

void OpenDataDialog::list() {
    const opendata::Timetable& t = *table_;
    routes_->clear();
    previewedRoute_ = -1;
    for (uint32_t r = 0; r < t.routes().size(); ++r) {
        const opendata::Route& route = t.routes()[r];
        auto* item =
            new QTreeWidgetItem(routes_, {text(route.shortName), text(route.longName), {}, {}, text(route.agency)});
        item->setData(0, RouteRole, r);
        QStringList search{text(route.shortName), text(route.longName)};
        for (int d : {0, 1, -1})
            for (const opendata::Pattern& p :
                 t.patterns(r, [d](const opendata::Trip& trip) { return trip.direction == d; })) {
                const QString first = text(t.stops()[p.stops.front()].name);
                const QString last = text(t.stops()[p.stops.back()].name);
                auto* child =
                    new QTreeWidgetItem(item, {d < 0 ? QStringLiteral("方向なし") : QStringLiteral("方向 %1").arg(d),
                                               QStringLiteral("%1 → %2").arg(first, last),
                                               QString::number(p.stops.size()), QString::number(p.trips)});
                child->setData(0, RouteRole, r);
                child->setData(0, DirectionRole, d);
                child->setData(0, TripRole, text(t.trips()[p.firstTrip].id));
                for (uint32_t s : p.stops) search << text(t.stops()[s].name);
            }
        item->setData(0, SearchRole, search.join(u'\n'));
    }
    routes_->setColumnHidden(AgencyColumn, !t.severalAgencies());
    routes_->expandAll();
    for (int c = 0; c < routes_->columnCount(); ++c)
        if (c != 1) routes_->resizeColumnToContents(c);
    filter(filter_->text());
    filter_->setFocus();
}

void OpenDataDialog::filter(const QString& wanted) {
    QTreeWidgetItem* first = nullptr;
    for (int i = 0; i < routes_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = routes_->topLevelItem(i);
        const bool shown = item->data(0, SearchRole).toString().contains(wanted.trimmed(), Qt::CaseInsensitive);
        item->setHidden(!shown);
        if (shown && !first) first = item;
    }
    routes_->setCurrentItem(first);
    if (!first) preview();
}

QTreeWidgetItem* OpenDataDialog::patternItem(QTreeWidgetItem* item) const {
    if (!item || item->parent()) return item;
    QTreeWidgetItem* most = nullptr;
    for (int i = 0; i < item->childCount(); ++i) {
        QTreeWidgetItem* child = item->child(i);
        if (child->data(0, DirectionRole).toInt() == 0) return child;
        if (!most || child->text(3).toInt() > most->text(3).toInt()) most = child;
    }
    return most;
}

void OpenDataDialog::preview() {
    prepared_.reset();
    preview_->setRowCount(0);
    warnings_->clear();
    QTreeWidgetItem* item = patternItem(routes_->currentItem());
    addButton_->setEnabled(false);
    if (!item) return;
    const int route = item->data(0, RouteRole).toInt();
    try {
        prepared_ = table_->prepare({table_->routes()[static_cast<size_t>(route)].id,
                                     {},
                                     item->data(0, TripRole).toString().toStdString(),
                                     true});
    } catch (const opendata::Error& e) {
        warnings_->setPlainText(text(e.what()));
        return;
    }
    preview_->setRowCount(static_cast<int>(prepared_->stops.size()));
    for (int k = 0; k < preview_->rowCount(); ++k) {
        const opendata::RouteStop& stop = prepared_->stops[static_cast<size_t>(k)];
        const QString fare = k == 0      ? QStringLiteral("—")
                             : stop.fare ? QStringLiteral("%1 円").arg(*stop.fare)
                                         : QStringLiteral("なし");
        preview_->setItem(k, 0, new QTableWidgetItem(text(stop.name)));
        preview_->setItem(k, 1, new QTableWidgetItem(text(stop.reading)));
        preview_->setItem(k, 2, new QTableWidgetItem(fare));
    }
    QStringList lines;
    for (const std::string& w : prepared_->warnings) lines << text(w);
    for (const std::string& w : fare::fareDigitWarnings(prepared_->records)) lines << text(w);
    warnings_->setPlainText(lines.join(u'\n'));
    if (route != previewedRoute_) // a number the operator typed stays while they look at the route's patterns
        number_->setText(QString::number(
            opendataui::proposeNumber(table_->routes()[static_cast<size_t>(route)].shortName, usedNumbers())));
    previewedRoute_ = route;
    addButton_->setEnabled(true);
}

// The numbers of the folder, or of the samples that will be copied into it when it is made.
std::set<int> OpenDataDialog::usedNumbers() const {
    if (QFileInfo(folder_).isDir()) return opendataui::routeNumbers(folder_);
    std::set<int> used;
    for (const QString& s : samples_) used.merge(opendataui::routeNumbers(s));
    return used;
}

void OpenDataDialog::add() {
    if (!prepared_) return;
    const int number = number_->text().toInt();
    if (number < 1) {
        msg::show(this,
                  {msg::AppTitle, QStringLiteral("系統番号は 1 から 99999 までの数です。"), QMessageBox::Warning});
        return;
    }
    if (usedNumbers().contains(number) &&
        msg::show(this, {msg::AppTitle, QStringLiteral("系統 %1 はすでにあります。置き換えますか？").arg(number),
                         QMessageBox::Question, QMessageBox::Yes | QMessageBox::No}) != QMessageBox::Yes)
        return;
    if (!QFileInfo(folder_).isDir())
        if (const QString why = opendataui::makeRouteFolder(folder_, samples_); !why.isEmpty()) {
            msg::show(this, {msg::AppTitle, why, QMessageBox::Warning});
            return;
        }
    try {
        opendata::RouteWriter(*prepared_, folder_.toStdString(), number).write();
    } catch (const opendata::Error& e) {
        msg::show(this, {msg::AppTitle, text(e.what()), QMessageBox::Warning});
        return;
    }
    emit routeAdded(number, folder_);
    accept();
}
