#include "panel/TicketPreview.h"

#include "panel/PanelGeometry.h"
#include "panel/PanelWidgets.h"
#include "reslib/plugin/Rv4.h"
#include "reslib/ui/QtCp932.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

namespace panel {

namespace geo = geometry;

TicketPreview::TicketPreview(QWidget* parent) : QWidget(parent) {
    label(this, QStringLiteral("Label4"), QStringLiteral("整理券プレビュー"), geo::PreviewTitle);
    picture_ = label(this, QStringLiteral("picSeirikenPrev"), QString(), geo::PreviewPicture);
    picture_->setFrameStyle(QFrame::Box | QFrame::Plain);
    picture_->installEventFilter(this);
    companyList_ = new QComboBox(this);
    companyList_->setObjectName(QStringLiteral("Combo1"));
    companyList_->setGeometry(geo::CompanyList);

    menu_ = new QMenu(this);
    menu_->setObjectName(QStringLiteral("MnuHide"));
    QAction* copyAction = menu_->addAction(QStringLiteral("コピー(&C)"));
    copyAction->setObjectName(QStringLiteral("MnuHideCopy"));
    connect(copyAction, &QAction::triggered, this, &TicketPreview::copy);

    setTicketSize(geo::PreviewPicture.width() - 2, geo::PreviewPicture.height() - 2);
}

void TicketPreview::setTicketSize(int width, int height) {
    picture_->resize(width + 2, height + 2); // the ticket inside the picture's frame
    image_ = QImage(picture_->contentsRect().size(), QImage::Format_RGB32);
    companyList_->move(geo::CompanyList.x(), std::max(geo::CompanyList.y(), picture_->geometry().bottom() + 7));
    const QRect used = geo::PreviewTitle | picture_->geometry() | companyList_->geometry();
    setGeometry(QRect(geo::PreviewArea, QSize(used.right() + 1, used.bottom() + 1)));
    clear();
}

void TicketPreview::addCompanies(const QString& pluginPath) { RV4_SetCorpAddList(toCp932(pluginPath), companyList_); }

void TicketPreview::clearCompanies() { companyList_->clear(); }

int16_t TicketPreview::companyIndex() const { return static_cast<int16_t>(companyList_->currentIndex()); }

void TicketPreview::clear() {
    image_.fill(Qt::white);
    picture_->setPixmap(QPixmap::fromImage(image_));
}

void TicketPreview::drawTicket(const fare::TicketArgs& a) {
    const auto bytes = [](const std::string& utf8) { return toCp932(QString::fromStdString(utf8)); };
    {
        QPainter painter(&image_);
        RV4_DrawSeiriken(bytes(a.pluginPath), &painter, bytes(a.stopName), bytes(a.dateText), bytes(a.timeText),
                         a.routeNumber, a.ticketNumber, a.record, a.companyIndex);
    }
    picture_->setPixmap(QPixmap::fromImage(image_));
}

void TicketPreview::copy() {
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->clear();
    clipboard->setImage(image_);
}

bool TicketPreview::eventFilter(QObject* watched, QEvent* event) {
    if (watched == picture_ && event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) menu_->popup(mouse->globalPosition().toPoint());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace panel
