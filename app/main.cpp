#include <QApplication>
#include <QLabel>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLabel w("Ferio");
    w.resize(643, 240);
    w.show();
    return app.exec();
}
