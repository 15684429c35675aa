#include "reslib/ui/Dlg100.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLCDNumber>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

namespace {

constexpr int kSampleValue = 5;

// The sample as the display would show it: zero fill, then blank cells from the right.
QString sampleText(int keta, int fillZero, int shift) {
    QString text = QString::number(kSampleValue).rightJustified(fillZero, u'0');
    text += QString(shift, u' ');
    return text.right(keta);
}

} // namespace

int32_t Call_dlg100(QWidget* window, int16_t keta, int16_t& zeroMode, int16_t& shift, int16_t& fillZero) {
    const int cells = std::clamp<int>(keta, 1, 15);

    QDialog dlg(window);
    dlg.setObjectName(QStringLiteral("dlg100"));
    dlg.setWindowTitle(QStringLiteral("表示設定"));
    dlg.setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* zero = new QComboBox(&dlg);
    zero->setObjectName(QStringLiteral("zeroMode"));
    zero->addItems({QStringLiteral("0 は表示しない"), QStringLiteral("0 を表示する"),
                    QStringLiteral("-1 のとき 0 を表示し、0 は表示しない"),
                    QStringLiteral("-1 と 0 のとき 0 を表示する")});
    zero->setCurrentIndex(std::clamp<int>(zeroMode, 0, 3));

    auto* fill = new QSpinBox(&dlg);
    fill->setObjectName(QStringLiteral("fillZero"));
    fill->setRange(0, cells);
    fill->setSpecialValueText(QStringLiteral("なし"));
    fill->setValue(fillZero);

    auto* shiftBox = new QSpinBox(&dlg);
    shiftBox->setObjectName(QStringLiteral("shift"));
    shiftBox->setRange(0, cells - 1);
    shiftBox->setValue(shift);

    auto* preview = new QLCDNumber(cells, &dlg);
    preview->setObjectName(QStringLiteral("preview"));
    preview->setSegmentStyle(QLCDNumber::Filled);
    preview->setMinimumHeight(40);
    const auto showSample = [=] { preview->display(sampleText(cells, fill->value(), shiftBox->value())); };
    QObject::connect(fill, &QSpinBox::valueChanged, &dlg, showSample);
    QObject::connect(shiftBox, &QSpinBox::valueChanged, &dlg, showSample);
    showSample();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dlg);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("ゼロの表示:"), zero);
    form->addRow(QStringLiteral("前ゼロの桁数:"), fill);
    form->addRow(QStringLiteral("右からずらす桁数:"), shiftBox);
    form->addRow(QStringLiteral("表示例 (%1):").arg(kSampleValue), preview);
    auto* layout = new QVBoxLayout(&dlg);
    layout->addLayout(form);
    layout->addWidget(buttons);

    if (dlg.exec() != QDialog::Accepted) return 0;
    zeroMode = static_cast<int16_t>(zero->currentIndex());
    fillZero = static_cast<int16_t>(fill->value());
    shift = static_cast<int16_t>(shiftBox->value());
    return 1;
}
