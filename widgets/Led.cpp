#include "widgets/Led.h"

#include <QBrush>
#include <QPainter>
#include <QPen>

#include <algorithm>

namespace tolvane {

TLMDLED::TLMDLED(QObject* parent)
    : QObject(parent)
{
    rebuild();
}

void TLMDLED::setHorzSize(int size)
{
    setSize(&LedGeometry::horzSize, size);
}

void TLMDLED::setVertSize(int size)
{
    setSize(&LedGeometry::vertSize, size);
}

void TLMDLED::setThickness(int thickness)
{
    setSize(&LedGeometry::thickness, thickness);
}

void TLMDLED::setActiveColor(const QColor& color)
{
    setColorField(&TLMDLED::m_activeColor, color);
}

void TLMDLED::setInActiveColor(const QColor& color)
{
    setColorField(&TLMDLED::m_inActiveColor, color);
}

void TLMDLED::setBackgroundColor(const QColor& color)
{
    setColorField(&TLMDLED::m_backgroundColor, color);
}

void TLMDLED::setDisabledDigits(bool disabled)
{
    if (m_disabledDigits == disabled)
        return;
    m_disabledDigits = disabled;
    Q_EMIT changed();
}

void TLMDLED::setSize(int LedGeometry::*size, int value)
{
    value = std::clamp(value, 0, 255);
    if (m_geometry.*size == value)
        return;
    m_geometry.*size = value;
    rebuild();
    Q_EMIT changed();
}

void TLMDLED::setColorField(QColor TLMDLED::*field, const QColor& value)
{
    if (this->*field == value)
        return;
    this->*field = value;
    rebuild();
    Q_EMIT changed();
}

void TLMDLED::assign(const TLMDLED& other)
{
    if (&other == this)
        return;
    const bool same = m_geometry.horzSize == other.m_geometry.horzSize &&
                      m_geometry.vertSize == other.m_geometry.vertSize &&
                      m_geometry.thickness == other.m_geometry.thickness &&
                      m_activeColor == other.m_activeColor &&
                      m_inActiveColor == other.m_inActiveColor &&
                      m_disabledDigits == other.m_disabledDigits;
    if (same)
        return;
    m_geometry = other.m_geometry;
    m_activeColor = other.m_activeColor;
    m_inActiveColor = other.m_inActiveColor;
    m_disabledDigits = other.m_disabledDigits;
    rebuild();
    Q_EMIT changed();
}

void TLMDLED::startBlink()
{
    m_blink = true;
}

void TLMDLED::stopBlink()
{
    if (!m_blink && !m_blinkPhase)
        return;
    m_blink = false;
    m_blinkPhase = false;
    Q_EMIT changed();
}

void TLMDLED::rebuild()
{
    for (int bit = 0; bit < ledSegmentCount; ++bit)
        m_segments[bit] = m_geometry.segmentPolygon(bit);
    m_cellImage = QImage();
    m_litCells.clear();
}

const QImage& TLMDLED::cellImage()
{
    if (!m_cellImage.isNull() || m_geometry.cellSize().isEmpty())
        return m_cellImage;
    m_cellImage = QImage(m_geometry.cellSize(), QImage::Format_RGB32);
    m_cellImage.fill(m_backgroundColor);
    QPainter painter(&m_cellImage);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QBrush(unlitPattern(m_inActiveColor, m_backgroundColor)));
    for (const auto& polygon : m_segments) {
        if (polygon)
            painter.drawPolygon(*polygon);
    }
    return m_cellImage;
}

const QImage& TLMDLED::litCellImage(quint16 mask)
{
    const QImage& unlit = cellImage();
    if (mask == 0 || unlit.isNull())
        return unlit;
    if (const auto known = m_litCells.constFind(mask); known != m_litCells.cend())
        return *known;
    QImage cell = unlit.copy();
    QPainter painter(&cell);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(m_activeColor, 1, Qt::SolidLine));
    painter.setBrush(m_activeColor);
    for (int bit = 0; bit < ledSegmentCount; ++bit) {
        if ((mask & (1u << bit)) && m_segments[bit])
            painter.drawPolygon(*m_segments[bit]);
    }
    painter.end();
    return *m_litCells.insert(mask, cell);
}

void TLMDLED::measure(const QString& text)
{
    pass(text, nullptr, {}, true);
}

void TLMDLED::draw(const QString& text, QPainter& painter, QPoint origin, bool enabled)
{
    pass(text, &painter, origin, enabled);
    // Measuring does not count as a showing, so a label that sizes itself still blinks.
    if (m_blink)
        m_blinkPhase = !m_blinkPhase;
}

void TLMDLED::pass(const QString& text, QPainter* painter, QPoint origin, bool enabled)
{
    m_lineCount = 1;
    m_columnCount = 1;
    m_text = text;
    int column = 0;
    int lineTop = origin.y();
    const bool lit = !m_disabledDigits || enabled;
    const quint16 permitted = m_geometry.allowsInnerSegments() ? 0xFFFF : ledOuterSegments;
    const QSize cell = m_geometry.cellSize();
    for (const char32_t code : text.toUcs4()) {
        if (code == U'\r') {
            ++m_lineCount;
            lineTop = origin.y() + (m_lineCount - 1) * cell.height();
            column = 0;
            continue;
        }
        if (code < 32)
            continue;
        if (painter) {
            const quint16 mask = lit && !m_blinkPhase ? ledCharacterMask(code) & permitted : 0;
            painter->drawImage(QPoint(origin.x() + column * cell.width(), lineTop),
                               litCellImage(mask));
        }
        ++column;
        m_columnCount = std::max(m_columnCount, column);
    }
}

const QImage& TLMDLED::unlitPattern(const QColor& unlit, const QColor& background)
{
    static QImage pattern;
    static QColor patternUnlit;
    static QColor patternBackground;
    if (pattern.isNull() || unlit != patternUnlit || background != patternBackground) {
        pattern = QImage(8, 8, QImage::Format_RGB32);
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 8; ++x)
                pattern.setPixelColor(x, y, (x + y) % 2 == 0 ? unlit : background);
        }
        patternUnlit = unlit;
        patternBackground = background;
    }
    return pattern;
}

} // namespace tolvane
