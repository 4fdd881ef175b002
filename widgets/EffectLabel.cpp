#include "widgets/EffectLabel.h"

#include "platform/ErrorDispatch.h"
#include "platform/Errors.h"
#include "platform/Fonts.h"

#include <QApplication>
#include <QBitmap>
#include <QCoreApplication>
#include <QEvent>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace tolvane {

namespace {

// The image every effect label composes in. Labels paint one at a time on the GUI thread, so
// one image serves them all; it grows to the largest label and is kept.
QImage& sharedBitmap()
{
    static QImage bitmap;
    return bitmap;
}

QImage& sharedBitmap(QSize atLeast)
{
    QImage& bitmap = sharedBitmap();
    if (bitmap.width() < atLeast.width() || bitmap.height() < atLeast.height()) {
        bitmap = QImage(bitmap.size().expandedTo(atLeast), QImage::Format_RGB32);
    }
    return bitmap;
}

// Rounds to the nearest integer, halves to even.
int roundEven(double value)
{
    return int(std::nearbyint(value));
}

// Two thirds of each channel, truncated.
QColor darkened(const QColor& color)
{
    const auto channel = [](int c) { return int(c - c / 3.0); };
    return QColor(channel(color.red()), channel(color.green()), channel(color.blue()));
}

// From this size up a raised caption also gets a shadow below its highlight.
constexpr double largeRaisedPoints = 11.0;

} // namespace

TdxfLabel::TdxfLabel(QWidget* parent)
    : TdxfLabel(QString(), parent)
{
}

TdxfLabel::TdxfLabel(const QString& text, QWidget* parent)
    : QLabel(text, parent)
{
    QFont formFont(QStringLiteral("MS Sans Serif"));
    formFont.setPixelSize(11);
    setFont(formFont);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TdxfLabel::setText(const QString& text)
{
    if (text == QLabel::text())
        return;
    QLabel::setText(text);
    fitToText();
}

QColor TdxfLabel::fontColor() const
{
    return palette().color(foregroundRole());
}

void TdxfLabel::setFontColor(const QColor& color)
{
    QPalette colors = palette();
    colors.setColor(foregroundRole(), color);
    setPalette(colors);
}

QColor TdxfLabel::color() const
{
    if (m_parentColor && parentWidget())
        return parentWidget()->palette().color(parentWidget()->backgroundRole());
    if (!m_parentColor && m_color.isValid())
        return m_color;
    return palette().color(backgroundRole());
}

void TdxfLabel::setColor(const QColor& color)
{
    if (!m_parentColor && m_color == color)
        return;
    m_color = color;
    m_parentColor = false;
    update();
}

void TdxfLabel::setParentColor(bool parentColor)
{
    if (m_parentColor == parentColor)
        return;
    m_parentColor = parentColor;
    update();
}

bool TdxfLabel::isSystemColor() const
{
    if (!m_parentColor && m_color.isValid())
        return false;
    const QWidget* source = m_parentColor && parentWidget() ? parentWidget() : this;
    return !source->palette().isBrushSet(QPalette::Active, source->backgroundRole());
}

void TdxfLabel::setTransparent(bool transparent)
{
    if (m_transparent == transparent)
        return;
    m_transparent = transparent;
    setAttribute(Qt::WA_OpaquePaintEvent, !transparent);
    update();
}

void TdxfLabel::setLabelStyle(LabelStyle style)
{
    if (m_labelStyle == style)
        return;
    m_labelStyle = style;
    update();
}

void TdxfLabel::setAngle(int angle)
{
    if (angle < 0 || angle > 360 || angle == m_angle)
        return;
    platform::dispatch([&] {
        if (angle != 0 && !isTrueType()) {
            QApplication::beep();
            throw EComponentError(QCoreApplication::translate(
                "EffectLabel", "The Angle property is applicable for the TrueType fonts only"));
        }
        m_angle = angle;
        update();
    });
}

bool TdxfLabel::isTrueType() const
{
    const QFontInfo info(font());
    return !platform::isRasterFont(font()) &&
           QFontDatabase::isScalable(info.family(), info.styleName());
}

void TdxfLabel::setEffect3D(const Tdxf3DEffect& effect)
{
    setEffect(effect);
}

void TdxfLabel::setEffect3DStyle(Tdxf3DEffect::EffectStyle style)
{
    Tdxf3DEffect effect = m_effect3D;
    effect.style = style;
    setEffect(effect);
}

void TdxfLabel::setEffect3DOrientation(Tdxf3DEffect::Orientation orientation)
{
    Tdxf3DEffect effect = m_effect3D;
    effect.orientation = orientation;
    setEffect(effect);
}

void TdxfLabel::setEffect3DDepth(int depth)
{
    Tdxf3DEffect effect = m_effect3D;
    effect.depth = quint16(std::clamp<int>(depth, 0, std::numeric_limits<quint16>::max()));
    setEffect(effect);
}

void TdxfLabel::setEffect3DShadowedColor(const QColor& color)
{
    Tdxf3DEffect effect = m_effect3D;
    effect.shadowedColor = color;
    setEffect(effect);
}

void TdxfLabel::setEffect(const Tdxf3DEffect& effect)
{
    if (m_effect3D == effect)
        return;
    m_effect3D = effect;
    update();
}

void TdxfLabel::setGlyph(const QPixmap& glyph)
{
    m_glyph = glyph;
    update();
}

void TdxfLabel::setPenWidth(int width)
{
    if (m_penWidth == width)
        return;
    m_penWidth = width;
    if (m_labelStyle == dxfOutLine)
        update();
}

void TdxfLabel::setAutoSize(bool autoSize)
{
    m_autoSize = autoSize;
    fitToText();
}

void TdxfLabel::fitToText()
{
    if (!m_autoSize)
        return;
    const QFontMetrics metrics(drawingFont(), this);
    resize(metrics.horizontalAdvance(text()), metrics.height());
}

int TdxfLabel::drawnAngle() const
{
    // Only a scalable font turns; any other keeps its caption level and centred.
    return isTrueType() ? m_angle % 360 : 0;
}

QFont TdxfLabel::drawingFont() const
{
    // A keyed copy cannot show partly covered pixels: they would keep a fringe of the key colour.
    QFont drawing = font();
    if (m_transparent)
        drawing.setStyleStrategy(QFont::NoAntialias);
    return drawing;
}

QPoint TdxfLabel::textOrigin() const
{
    const QFontMetrics metrics(drawingFont(), this);
    const double halfWidth = metrics.horizontalAdvance(text()) / 2.0;
    const double halfHeight = metrics.height() / 2.0;
    const double a = drawnAngle() * std::numbers::pi / 180.0;
    const double cosA = std::cos(a);
    const double sinA = std::sin(a);
    return {width() / 2 - roundEven(cosA * halfWidth) - roundEven(sinA * halfHeight),
            roundEven(sinA * halfWidth) + height() / 2 - roundEven(cosA * halfHeight)};
}

QSize TdxfLabel::sharedBitmapSize()
{
    return sharedBitmap().size();
}

void TdxfLabel::drawCaption(QPainter& painter, QPoint origin, const QColor& color) const
{
    const QFont drawing = drawingFont();
    painter.save();
    painter.translate(origin);
    painter.rotate(-drawnAngle());
    painter.setFont(drawing);
    painter.setPen(color);
    painter.drawText(QPoint(0, QFontMetrics(drawing, this).ascent()), text());
    painter.restore();
}

QPainterPath TdxfLabel::captionPath(QPoint origin) const
{
    const QFont drawing = drawingFont();
    QPainterPath path;
    path.addText(0, QFontMetrics(drawing, this).ascent(), drawing, text());
    QTransform turn;
    turn.translate(origin.x(), origin.y());
    turn.rotate(-drawnAngle());
    return turn.map(path);
}

void TdxfLabel::compose(QPainter& painter) const
{
    const QColor background = color();
    const QPoint origin = textOrigin();
    painter.fillRect(rect(), background);

    for (const Tdxf3DEffect::Copy& copy : m_effect3D.copies(background, isSystemColor()))
        drawCaption(painter, origin + copy.offset, copy.color);

    const bool trueType = isTrueType();
    const QColor highlight = palette().color(QPalette::Light);
    const QColor shadow = palette().color(QPalette::Dark);
    QPoint finalOrigin = origin;
    QColor finalColor = fontColor();
    switch (m_labelStyle) {
    case dxfNormal:
        break;
    case dxfRaised:
        drawCaption(painter, origin, highlight);
        if (QFontInfo(font()).pointSizeF() > largeRaisedPoints)
            drawCaption(painter, origin + QPoint(2, 2), shadow);
        finalOrigin = origin + QPoint(1, 1);
        break;
    case dxfLowered:
        drawCaption(painter, origin + QPoint(2, 2), highlight);
        finalOrigin = origin + QPoint(1, 1);
        finalColor = isSystemColor() ? shadow : darkened(background);
        break;
    case dxfOutLine:
        if (trueType) {
            painter.strokePath(captionPath(origin), QPen(fontColor(), m_penWidth));
            return;
        }
        break;
    }

    if (trueType && !m_glyph.isNull()) {
        painter.save();
        painter.setClipPath(captionPath(finalOrigin), Qt::IntersectClip);
        painter.drawTiledPixmap(rect(), m_glyph);
        painter.restore();
    } else {
        drawCaption(painter, finalOrigin, finalColor);
    }
}

void TdxfLabel::paintEvent(QPaintEvent*)
{
    if (m_labelStyle == dxfLowered)
        m_parentColor = true;
    if (width() <= 0 || height() <= 0)
        return;

    QImage& bitmap = sharedBitmap(size());
    {
        QPainter composer(&bitmap);
        composer.setClipRect(rect());
        composer.setRenderHint(QPainter::Antialiasing, !m_transparent);
        compose(composer);
    }

    QPainter screen(this);
    const QImage area = bitmap.copy(rect());
    if (m_transparent) {
        QPixmap keyed = QPixmap::fromImage(area);
        keyed.setMask(keyed.createMaskFromColor(color(), Qt::MaskInColor));
        screen.drawPixmap(0, 0, keyed);
    } else {
        screen.drawImage(0, 0, area);
    }
}

void TdxfLabel::changeEvent(QEvent* event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        fitToText();
        update();
    }
}

} // namespace tolvane
