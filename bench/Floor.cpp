// The floor of the design: a Qt program that does nothing but run a 1 ms precise timer. With
// --window it also shows an empty window of the splash's size, the floor of a start-up.
#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <memory>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(1);
    QObject::connect(&tick, &QTimer::timeout, &app, [] {});
    tick.start();

    std::unique_ptr<QWidget> window;
    if (app.arguments().contains(QStringLiteral("--window"))) {
        window = std::make_unique<QWidget>();
        window->setFixedSize(361, 259);
        window->show();
    }
    return app.exec();
}
