#include "widgets/BackGround.h"

#include "platform/Errors.h"
#include "widgets/Gradient.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPainter>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <vector>

namespace tolvane {

namespace {

// The forms that have a background. Everything runs on the GUI thread, so no lock guards it.
std::vector<const QWidget*>& formsWithBackground()
{
    static std::vector<const QWidget*> forms;
    return forms;
}

constexpr int slowestSpeed = 1;
constexpr int fastestSpeed = 1000;

} // namespace

TdxfBackGround::TdxfBackGround(QWidget* form)
    : QObject(form)
    , m_form(form)
    , m_timer(new QTimer(this))
{
    Q_ASSERT(form);
    auto& forms = formsWithBackground();
    if (std::ranges::find(forms, form) != forms.end())
        throw EComponentError(QCoreApplication::translate(
            "BackGround", "Form should have only a single TdxfBackGround"));
    forms.push_back(form);

    m_timer->setInterval(interval());
    connect(m_timer, &QTimer::timeout, this, &TdxfBackGround::animationTick);
    form->installEventFilter(this);
    form->update();
}

TdxfBackGround::~TdxfBackGround()
{
    auto& forms = formsWithBackground();
    forms.erase(std::ranges::find(forms, m_form));
    m_form->removeEventFilter(this);
    // Queued, so a form that is being destroyed drops the request with its other events.
    QMetaObject::invokeMethod(
        m_form, [form = m_form] { form->update(); }, Qt::QueuedConnection);
}

void TdxfBackGround::setBeginColor(const QColor& color)
{
    if (m_beginColor == color)
        return;
    m_beginColor = color;
    formResized();
}

void TdxfBackGround::setEndColor(const QColor& color)
{
    if (m_endColor == color)
        return;
    m_endColor = color;
    formResized();
}

void TdxfBackGround::setFillStyle(FillStyle style)
{
    if (m_fillStyle == style)
        return;
    m_fillStyle = style;
    formResized();
}

void TdxfBackGround::setPicture(const QPixmap& picture)
{
    m_picture = picture;
    m_form->update();
}

void TdxfBackGround::setImages(const QList<QPixmap>& images)
{
    m_images = images;
    m_frameIndex = 0;
    rebuildFrame();
    updateTimer();
    m_form->update();
}

void TdxfBackGround::setSpeed(int speed)
{
    m_speed = std::clamp(speed, slowestSpeed, fastestSpeed);
    m_timer->setInterval(interval());
}

int TdxfBackGround::interval() const
{
    return fastestSpeed + 1 - m_speed;
}

void TdxfBackGround::animationTick()
{
    if (!animating())
        return;
    m_frameIndex = (m_frameIndex + 1) % int(m_images.size());
    rebuildFrame();
    m_form->update();
}

bool TdxfBackGround::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_form) {
        switch (event->type()) {
        case QEvent::Paint:
            paint();
            break;
        case QEvent::Resize:
            formResized();
            break;
        case QEvent::PaletteChange:
            rebuildFrame();
            break;
        default:
            break;
        }
    }
    // The form's own handler runs next: after the background when painting, and before the
    // repaint that a resize schedules.
    return false;
}

void TdxfBackGround::paint()
{
    QPainter painter(m_form);
    const QRect area = m_form->rect();
    if (animating()) {
        painter.drawTiledPixmap(area, m_frame);
    } else if (!m_picture.isNull()) {
        painter.drawTiledPixmap(area, m_picture);
    } else {
        const Qt::Orientation direction = m_fillStyle == fsVert ? Qt::Vertical : Qt::Horizontal;
        for (const GradientBand& band :
             gradientBands(area.size(), direction, m_beginColor, m_endColor))
            painter.fillRect(band.rect, band.color);
    }
}

void TdxfBackGround::formResized()
{
    // Tiles start at the top left and stay where they are; only the gradient stretches.
    if (!tiling())
        m_form->update();
}

void TdxfBackGround::rebuildFrame()
{
    if (!animating()) {
        m_frame = QPixmap();
        return;
    }
    const QPixmap& image = m_images.at(m_frameIndex);
    m_frame = QPixmap(image.size());
    m_frame.fill(m_form->palette().color(m_form->backgroundRole()));
    QPainter painter(&m_frame);
    painter.drawPixmap(0, 0, image);
}

void TdxfBackGround::updateTimer()
{
    if (animating())
        m_timer->start();
    else
        m_timer->stop();
}

} // namespace tolvane
