#pragma once
// Finding and pressing the panel's controls by their names, as the tests of the panel do.
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

template <class W = QPushButton>
W* findControl(QWidget& panel, const char* name) {
    W* w = panel.findChild<W*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

inline void clickControl(QWidget& panel, const char* name) {
    QTest::mouseClick(findControl(panel, name), Qt::LeftButton);
}

// Digits on the keypad, one key each.
inline void typeDigits(QWidget& panel, const QString& digits) {
    for (QChar c : digits) clickControl(panel, QStringLiteral("CommandButton1_%1").arg(c).toLatin1().constData());
}
