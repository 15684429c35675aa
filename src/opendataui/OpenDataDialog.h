#pragma once
// The dialog that adds a route from an open-data feed: the feed is read off the interface
// thread, its routes and stop patterns listed and filtered, the chosen pattern previewed as it
// will be written, and the route written under a number the operator may change.
#include "opendata/Timetable.h"

#include <QDialog>
#include <QPointer>
#include <atomic>
#include <memory>
#include <optional>
#include <set>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QThread;
class QTreeWidget;
class QTreeWidgetItem;

class OpenDataDialog : public QDialog {
    Q_OBJECT
public:
    explicit OpenDataDialog(QWidget* parent = nullptr);
    // A read under way is cancelled and waited for.
    ~OpenDataDialog() override;

    // Where routes go: `folder`, made at the first addition with the files of `samples` in it.
    void setDestination(const QString& folder, const QStringList& samples);
    // The folder the file dialog starts in.
    void setStartFolder(const QString& folder) { startFolder_ = folder; }
    // Reads a feed (a .zip or a folder of its tables); a read under way is cancelled first.
    void openFeed(const QString& path);
    bool reading() const { return cancel_ != nullptr; }

public slots:
    void reject() override;

signals:
    // A feed was read and listed.
    void feedOpened(const QString& path);
    // The route's files were written into `folder`.
    void routeAdded(int number, const QString& folder);

private:
    void cancelRead();
    void finishRead(int generation, const QString& path, std::shared_ptr<const opendata::Timetable> table,
                    const QString& error);
    void list();
    void filter(const QString& text);
    // The pattern an item stands for: itself, or for a route its most used of direction 0 (of
    // any direction when the feed gives none).
    QTreeWidgetItem* patternItem(QTreeWidgetItem* item) const;
    void preview();
    std::set<int> usedNumbers() const;
    void add();

    QLabel* feedLabel_;
    QProgressBar* progress_;
    QPushButton* cancelButton_;
    QLineEdit* filter_;
    QTreeWidget* routes_;
    QTableWidget* preview_;
    QPlainTextEdit* warnings_;
    QLineEdit* number_;
    QPushButton* addButton_;

    QString folder_, startFolder_;
    QStringList samples_;
    std::shared_ptr<const opendata::Timetable> table_;
    std::optional<opendata::ImportedRoute> prepared_;
    int previewedRoute_ = -1;
    std::shared_ptr<std::atomic<bool>> cancel_; // the read under way
    int generation_ = 0;                        // a read's answer counts only while it is the last
    std::vector<QPointer<QThread>> threads_;
};
