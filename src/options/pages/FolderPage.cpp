#include "options/pages/FolderPage.h"

#include "options/OptionPickers.h"
#include "reslib/ui/Messages.h"

#include <QDesktopServices>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using namespace optionui;

namespace {

// Opens the folder in the desktop's file manager; false when there is none. On a desktop Qt
// hands the folder to xdg-open, which reports nothing when no program takes folders, so
// xdg-mime is asked first.
bool openInFileManager(const QString& folder) {
    const QString platform = QGuiApplication::platformName();
    if (platform == u"xcb"_s || platform == u"wayland"_s) {
        QProcess query;
        query.start(u"xdg-mime"_s, {u"query"_s, u"default"_s, u"inode/directory"_s});
        if (query.waitForFinished(3000) && query.exitCode() == 0 && query.readAllStandardOutput().trimmed().isEmpty())
            return false;
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

} // namespace

FolderPage::FolderPage(OptionPickers& pickers, QWidget* parent) : OptionPage(u"運賃データと放送用データ"_s, parent) {
    const std::pair<QString, QString> folders[] = {
        {u"運賃データ(*.hy3)のあるフォルダー："_s, u"上記運賃データの場所をエクスプローラで開く"_s},
        {u"放送用データ(*****Tp.csv)のあるフォルダー："_s, u"上記放送用データの場所をエクスプローラで開く"_s},
    };
    auto* layout = new QVBoxLayout(this);
    for (int i = 0; i < 2; ++i) {
        QLineEdit* box = folders_[i] = textBox(u"Text2_%1"_s.arg(i));
        auto* open = named(new QPushButton(folders[i].second), u"cmdOpenFolder_%1"_s.arg(i));
        // The desktop's file manager shows the folder (an empty one is the current folder); a
        // folder that is not there is no error, a desktop without a file manager is.
        connect(open, &QPushButton::clicked, box, [box] {
            const QString folder = box->text().isEmpty() ? QDir::currentPath() : box->text();
            if (!openInFileManager(folder))
                msg::info(box->window(), u"フォルダーを開くファイルマネージャーが見つかりません：%1\r\n"
                                         u"xdg-utils とファイルマネージャー（nautilus、thunar、pcmanfm など）を"
                                         u"インストールすると開けます。"_s.arg(QDir::toNativeSeparators(folder)));
        });
        layout->addWidget(new QLabel(folders[i].first));
        layout->addLayout(pathRow(box, u"Command3_%1"_s.arg(i), [&pickers] { return pickers.GetPathString(); }));
        layout->addWidget(open, 0, Qt::AlignRight);
    }
    layout->addStretch();
}

std::vector<OptionBinding> FolderPage::bindings() const {
    return {{&OptionInfo::FareDataDir, folders_[0]}, {&OptionInfo::TapeDataDir, folders_[1]}};
}
