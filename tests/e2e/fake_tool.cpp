// Stands in for a companion tool on the X desktop: one borderless 300 x 200
// window (the tools are skinned like this program) of the class "TMainForm"
// with the given title, at the given place.
// usage: vantorel-fake-tool TITLE X Y

#include <QApplication>
#include <QWidget>

#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 4)
        return 2;
    // Qt names the window class after the application.
    QApplication::setApplicationName(QStringLiteral("TMainForm"));
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    window.setWindowTitle(QString::fromLocal8Bit(argv[1]));
    window.resize(300, 200);
    window.move(std::atoi(argv[2]), std::atoi(argv[3]));
    window.show();
    return app.exec();
}
