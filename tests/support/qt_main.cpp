// GoogleTest main for tests that need a QApplication (widgets, images, fonts).
#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
#ifdef FERIO_SCALE_FACTOR
    qputenv("QT_SCALE_FACTOR", FERIO_SCALE_FACTOR); // a high-density screen
#endif
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
