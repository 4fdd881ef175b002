#include "forms/Unit5.h"

#include "platform/ErrorDispatch.h"
#include "platform/Jpeg.h"
#include "ui_Unit5.h"

#include <QKeyEvent>
#include <QPainter>
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
    QImage picture = platform::loadJpeg(QStringLiteral(":/pictures/splash.jpg"));
    if (!picture.isNull()) {
        // The version goes into the picture at the picture's own pixels: on a scaled screen it
        // grows with the artwork, its letters as whole as the picture's.
        QPainter painter(&picture);
        ui->Label2->render(&painter, ui->Label2->pos());
        ui->Label2->hide();
    }
    // On a screen scaled by a whole factor every pixel of it becomes a block, as everywhere else.
    const qreal ratio = devicePixelRatioF();
    QPixmap shown = QPixmap::fromImage(
        picture.scaled(picture.size() * ratio, Qt::IgnoreAspectRatio, Qt::FastTransformation));
    shown.setDevicePixelRatio(ratio);
    ui->Image1->setPixmap(shown);

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
