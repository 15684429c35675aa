#include "options/pages/FolderPage.h"

#include "options/OptionPickers.h"

#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using namespace optionui;

FolderPage::FolderPage(OptionPickers& pickers, QWidget* parent) : OptionPage(u"運賃データと放送用データ"_s, parent) {
    const std::pair<QString, QString> folders[] = {
        {u"運賃データ(*.hy3)のあるフォルダー："_s, u"上記運賃データの場所をエクスプローラで開く"_s},
        {u"放送用データ(*****Tp.csv)のあるフォルダー："_s, u"上記放送用データの場所をエクスプローラで開く"_s},
    };
    auto* layout = new QVBoxLayout(this);
    for (int i = 0; i < 2; ++i) {
        QLineEdit* box = folders_[i] = textBox(u"Text2_%1"_s.arg(i));
        auto* open = named(new QPushButton(folders[i].second), u"cmdOpenFolder_%1"_s.arg(i));
        // The desktop's file manager shows the folder; a folder that is not there is no error.
        connect(open, &QPushButton::clicked, box, [box] { QDesktopServices::openUrl(QUrl::fromLocalFile(box->text())); });
        layout->addWidget(new QLabel(folders[i].first));
        layout->addLayout(pathRow(box, u"Command3_%1"_s.arg(i), [&pickers] { return pickers.GetPathString(); }));
        layout->addWidget(open, 0, Qt::AlignRight);
    }
    layout->addStretch();
}

std::vector<OptionBinding> FolderPage::bindings() const {
    return {{&OptionInfo::FareDataDir, folders_[0]}, {&OptionInfo::TapeDataDir, folders_[1]}};
}
