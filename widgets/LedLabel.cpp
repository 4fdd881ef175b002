#include "widgets/LedLabel.h"

#include "widgets/Accessible.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionFocusRect>

#include <algorithm>

namespace tolvane {

TLMDLEDLabel::TLMDLEDLabel(QWidget* parent)
    : QWidget(parent)
    , m_led(new TLMDLED(this))
    , m_bevel(new TLMDBevel(this))
{
    useAccessibleInterfaces();
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(30, 30);
    m_led->setBackgroundColor(m_color);
    connect(m_led, &TLMDLED::changed, this, &TLMDLEDLabel::refresh);
    connect(m_bevel, &TLMDBevel::changed, this, &TLMDLEDLabel::refresh);
}

void TLMDLEDLabel::setText(const QString& text)
{
    if (m_text == text)
        return;
    const QString before = displayedText();
    m_text = text;
    if (!repaintChangedCells(before))
        refresh();
}

void TLMDLEDLabel::setAutoSize(bool autoSize)
{
    if (m_autoSize == autoSize)
        return;
    m_autoSize = autoSize;
    refresh();
}

void TLMDLEDLabel::setColor(const QColor& color)
{
    if (m_color == color)
        return;
    m_color = color;
    // The LED's change notice refreshes the label.
    m_led->setBackgroundColor(color);
}

void TLMDLEDLabel::setDigits(int digits)
{
    digits = std::min(digits, 255);
    if (digits <= 0 || m_digits == digits)
        return;
    m_digits = digits;
    refresh();
}

void TLMDLEDLabel::setLabelStyle(LabelStyle style)
{
    if (m_labelStyle == style)
        return;
    m_labelStyle = style;
    refresh();
}

void TLMDLEDLabel::setValue(int value)
{
    if (m_value == value)
        return;
    m_value = value;
    if (m_labelStyle == lsInteger)
        paintNow();
}

void TLMDLEDLabel::setTransparent(bool transparent)
{
    if (m_transparent == transparent)
        return;
    m_transparent = transparent;
    setAttribute(Qt::WA_OpaquePaintEvent, !transparent);
    paintNow();
}

QString TLMDLEDLabel::displayedText() const
{
    if (m_labelStyle == lsString)
        return m_text;
    // The sign goes before the padding zeros, so -5 in three digits reads "-05".
    const QString magnitude = QString::number(qAbs(qint64(m_value)));
    const QString text = m_value < 0 ? u'-' + magnitude.rightJustified(m_digits - 1, u'0')
                                     : magnitude.rightJustified(m_digits, u'0');
    return text.size() > m_digits ? QString(m_digits, u'-') : text;
}

QSize TLMDLEDLabel::contentSize() const
{
    m_led->measure(displayedText());
    const QSize cell = m_led->cellSize();
    const QMargins border = m_bevel->margins();
    // One spare column on the right, so the last cell does not touch the edge.
    return {cell.width() * m_led->columnCount() + border.left() + border.right() + 1,
            cell.height() * m_led->lineCount() + border.top() + border.bottom()};
}

QSize TLMDLEDLabel::sizeHint() const
{
    return contentSize();
}

void TLMDLEDLabel::refresh()
{
    updateGeometry();
    if (m_autoSize)
        resize(contentSize());
    paintNow();
}

// A clock turning a second changes a digit or two: only their cells are painted and sent to the
// screen, a fraction of the whole label, which matters once a second for an hour. Anything that
// may move or resize the cells, or changes all of them, paints the whole label.
bool TLMDLEDLabel::repaintChangedCells(const QString& before)
{
    const QString after = displayedText();
    if (m_labelStyle != lsString || m_transparent || m_led->blinks() ||
        before.size() != after.size())
        return false;
    const auto plain = [](QChar c) { return c.unicode() >= 32 && !c.isSurrogate(); };
    if (!std::all_of(before.begin(), before.end(), plain) ||
        !std::all_of(after.begin(), after.end(), plain))
        return false;
    const auto first = std::mismatch(before.begin(), before.end(), after.begin()).first;
    const auto last = std::mismatch(before.rbegin(), before.rend(), after.rbegin()).first;
    const int from = int(first - before.begin());
    const int to = int(before.size() - (last - before.rbegin()));
    const QSize cell = m_led->cellSize();
    const QMargins border = m_bevel->margins();
    repaint(QRect(border.left() + from * cell.width(), border.top(), (to - from) * cell.width(),
                  cell.height()));
    return true;
}

void TLMDLEDLabel::paintNow()
{
    // A transparent label needs its parent painted first, which only the next paint cycle does.
    if (m_transparent)
        update();
    else
        repaint();
}

void TLMDLEDLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect inner = m_bevel->paint(painter, rect());
    if (inner.isEmpty())
        return;

    QImage image(inner.size(), QImage::Format_RGB32);
    image.fill(m_color);
    {
        // Normally in step already; resynchronising must not start another paint from here.
        const QSignalBlocker quiet(m_led);
        m_led->setBackgroundColor(m_color);
    }
    QPainter cells(&image);
    m_led->draw(displayedText(), cells, {0, 0}, isEnabled());
    cells.end();

    if (m_transparent) {
        QPixmap keyed = QPixmap::fromImage(image);
        keyed.setMask(keyed.createMaskFromColor(m_color, Qt::MaskInColor));
        painter.drawPixmap(inner.topLeft(), keyed);
    } else {
        painter.drawImage(inner.topLeft(), image);
    }
    if (hasFocus()) {
        // The style frames it only once the keyboard has moved the focus, as it does buttons.
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.backgroundColor = m_color;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

void TLMDLEDLabel::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    update();
}

void TLMDLEDLabel::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    update();
}

} // namespace tolvane
