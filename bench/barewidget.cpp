// The reference for the start-up bench: the least a Qt form does before its window shows, a label
// and a line edit (so that, as in the entry window, text is measured and a font loaded first).
#include <QApplication>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare"));
    auto* layout = new QFormLayout(&window);
    layout->addRow(new QLabel(QStringLiteral("Part Number:")), new QLineEdit(QStringLiteral("R24 G198")));
    window.resize(507, 492);
    window.show();
    return app.exec();
}
