#include "reslib/ui/Dlg100.h"

#include <QApplication>
#include <QDialog>
#include <QLCDNumber>
#include <QSpinBox>
#include <QTimer>
#include <gtest/gtest.h>

TEST(Dlg100, CancelLeavesTheValuesAndOffersOnlyValidRanges) {
    int16_t zero = 2, shift = 1, fill = 3;
    QTimer::singleShot(0, [] {
        auto* dlg = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        auto* fillBox = dlg->findChild<QSpinBox*>("fillZero");
        auto* shiftBox = dlg->findChild<QSpinBox*>("shift");
        EXPECT_EQ(fillBox->maximum(), 3);
        EXPECT_EQ(shiftBox->maximum(), 2);
        EXPECT_EQ(fillBox->value(), 3);
        // The preview shows the sample 5 padded to three digits and moved one cell left.
        EXPECT_EQ(dlg->findChild<QLCDNumber*>("preview")->intValue(), 5);
        EXPECT_EQ(dlg->findChild<QLCDNumber*>("preview")->digitCount(), 3);
        fillBox->setValue(0);
        dlg->reject();
    });
    EXPECT_NE(Call_dlg100(nullptr, 3, zero, shift, fill), 1);
    EXPECT_EQ(zero, 2);
    EXPECT_EQ(shift, 1);
    EXPECT_EQ(fill, 3);
}
