#pragma once
// The ticket preview area of the control panel (right of the closed window's edge): its title,
// the white picture the board update draws the numbered ticket into, with a context menu that
// copies it, and the company list of the ticket plugin.
#include "fare/EngineViews.h"

#include <QImage>
#include <QWidget>

class QComboBox;
class QLabel;
class QMenu;

namespace panel {

class TicketPreview : public QWidget {
    Q_OBJECT
public:
    explicit TicketPreview(QWidget* parent);

    const QImage& image() const { return image_; }
    // The picture takes the ticket's size and the area grows or shrinks around it.
    void setTicketSize(int width, int height);
    void addCompanies(const QString& pluginPath);
    void clearCompanies();
    // The company chosen for the ticket, -1 for none.
    int16_t companyIndex() const;
    void clear();
    void drawTicket(const fare::TicketArgs& args);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void copy();

    QLabel* picture_ = nullptr;
    QComboBox* companyList_ = nullptr;
    QMenu* menu_ = nullptr;
    QImage image_;
};

} // namespace panel
