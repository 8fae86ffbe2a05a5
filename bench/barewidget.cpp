// The reference for the start-up bench: the least a Qt widget program does before its window shows.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare"));
    window.resize(507, 492);
    window.show();
    return app.exec();
}
