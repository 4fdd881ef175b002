#include "forms/Unit5.h"

#include "platform/ErrorDispatch.h"
#include "platform/Jpeg.h"
#include "ui_Unit5.h"

#include <QKeyEvent>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

namespace tolvane {

TBeginning::TBeginning(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint)
    , ui(std::make_unique<Ui::TBeginning>())
    , Timer1(new QTimer(this))
{
    ui->setupUi(this);
    // The picture goes through our own decoder; a missing picture leaves the window plain.
    ui->Image1->setPixmap(
        QPixmap::fromImage(platform::loadJpeg(QStringLiteral(":/pictures/splash.jpg"))));

    const QRect screenArea = screen()->geometry();
    move(screenArea.center() - rect().center());

    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(3000);
    connect(Timer1, &QTimer::timeout, this, platform::handler(this, &TBeginning::Timer1Timer));
    Timer1->start();
}

TBeginning::~TBeginning() = default;

void TBeginning::Timer1Timer()
{
    close();
}

void TBeginning::keyPressEvent(QKeyEvent* event)
{
    event->ignore();
}

} // namespace tolvane
