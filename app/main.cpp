#include <QApplication>

// The program's entry; start-up wiring comes with the start-up module.
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    return 0;
}
