#include "reslib/ui/Dlg110.h"

#include "reslib/ui/QtCp932.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

int32_t Call_dlg110(QWidget* owner, int32_t /*kind*/, const QByteArray& cp932Text) {
    QDialog dlg(owner);
    dlg.setObjectName(QStringLiteral("dlg110"));
    dlg.setWindowTitle(QStringLiteral("バージョン情報"));
    dlg.setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    QString text = fromCp932(cp932Text);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    auto* label = new QLabel(text.trimmed(), &dlg);
    label->setObjectName(QStringLiteral("text"));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dlg);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);

    auto* layout = new QVBoxLayout(&dlg);
    layout->setContentsMargins(18, 16, 18, 12);
    layout->setSpacing(14);
    layout->addWidget(label);
    layout->addWidget(buttons);
    dlg.setFixedSize(dlg.sizeHint().expandedTo(QSize(280, 0)));
    dlg.exec();
    return 1;
}
