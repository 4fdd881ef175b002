#include "widgets/ImageButton.h"

#include "widgets/Accessible.h"
#include "widgets/BitmapList.h"
#include "widgets/StoredForm.h"

#include <QFontMetrics>
#include <QImage>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcutEvent>
#include <QtMath>

namespace tolvane {

namespace {

// The size of a new button, and of an autosized one whose face reports no size.
constexpr QSize newButtonSize(25, 25);
constexpr QSize emptyFaceSize(20, 20);

bool sameColour(const QColor& a, const QColor& b)
{
    return (a.rgb() & RGB_MASK) == (b.rgb() & RGB_MASK);
}

// The mouse position in whole pixels: the pixel under the pointer.
QPoint pixelAt(const QMouseEvent* event)
{
    return {qFloor(event->position().x()), qFloor(event->position().y())};
}

// The caption as read aloud: "&&" is a literal ampersand, a single "&" marks the accelerator.
QString withoutMnemonic(const QString& caption)
{
    QString text;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && ++i == caption.size())
            break;
        text += caption[i];
    }
    return text;
}

} // namespace

TLMDMMButton::TLMDMMButton(QWidget* parent)
    : QWidget(parent)
{
    useAccessibleInterfaces();
    resize(newButtonSize);
}

TLMDMMButton::~TLMDMMButton() = default;

void TLMDMMButton::click()
{
    if (isEnabled())
        Q_EMIT clicked();
}

void TLMDMMButton::setCaption(const QString& caption)
{
    if (m_caption == caption)
        return;
    // The spoken name follows the caption unless the form named the button explicitly.
    const bool nameFollowsCaption =
        accessibleName().isEmpty() || accessibleName() == withoutMnemonic(m_caption);
    m_caption = caption;
    if (m_shortcut != 0)
        releaseShortcut(m_shortcut);
    const QKeySequence accelerator = QKeySequence::mnemonic(caption);
    m_shortcut = accelerator.isEmpty() ? 0 : grabShortcut(accelerator);
    if (nameFollowsCaption)
        setAccessibleName(withoutMnemonic(caption));
    refreshCaption();
}

void TLMDMMButton::setCaptionColor(const QColor& colour)
{
    if (m_captionColor == colour)
        return;
    m_captionColor = colour;
    refreshCaption();
}

void TLMDMMButton::setUseCaption(bool use)
{
    if (m_useCaption == use)
        return;
    m_useCaption = use;
    refreshCaption();
}

void TLMDMMButton::setCaptionDown(int pixels)
{
    m_captionDown = pixels;
    update();
}

void TLMDMMButton::setCaptionAlignment(Qt::Alignment alignment)
{
    m_captionAlignment = alignment;
    update();
}

void TLMDMMButton::setOffsetX(int offset)
{
    m_offset.setX(offset);
    update();
}

void TLMDMMButton::setOffsetY(int offset)
{
    m_offset.setY(offset);
    update();
}

void TLMDMMButton::setMultiLine(bool multiLine)
{
    m_multiLine = multiLine;
    update();
}

void TLMDMMButton::setLightColor(const QColor& colour)
{
    m_lightColor = colour;
    update();
}

void TLMDMMButton::setButtonFaceImageList(TLMDBitmapList* list)
{
    if (m_list == list)
        return;
    if (m_list)
        disconnect(m_list, nullptr, this, nullptr);
    m_list = list;
    if (list) {
        connect(list, &TLMDBitmapList::changed, this, qOverload<>(&QWidget::update));
        connect(list, &QObject::destroyed, this, qOverload<>(&QWidget::update));
    }
    update();
}

void TLMDMMButton::setButtonFaceStyle(FaceFit::Style style)
{
    m_faceStyle = style;
    update();
}

void TLMDMMButton::setButtonFaceTable(const FaceTable& table)
{
    m_faces = table;
    update();
}

void TLMDMMButton::setButtonFaceTransColor(const QColor& colour)
{
    m_transColor = colour;
}

QString TLMDMMButton::buttonFaceIndicesNew2() const
{
    return QString::fromLatin1(m_faces.write().toHex());
}

void TLMDMMButton::setButtonFaceIndicesNew2(const QString& hex)
{
    const std::optional<QByteArray> bytes = bytesFromHex(hex);
    const std::optional<FaceTable> table = bytes ? FaceTable::read(*bytes) : std::nullopt;
    if (!table) {
        qWarning("TLMDMMButton %s: ButtonFaceIndicesNew2 needs %d bytes in hexadecimal; ignored",
                 qPrintable(objectName()), int(FaceTable::storedSize));
        return;
    }
    setButtonFaceTable(*table);
}

QString TLMDMMButton::buttonFaceTransColNew() const
{
    return QString::fromLatin1(writeColourValue(m_transColor).toHex());
}

void TLMDMMButton::setButtonFaceTransColNew(const QString& hex)
{
    const std::optional<QByteArray> bytes = bytesFromHex(hex);
    const std::optional<QColor> colour = bytes ? readColourValue(*bytes) : std::nullopt;
    if (!colour) {
        qWarning("TLMDMMButton %s: ButtonFaceTransColNew needs a 4-byte RGB colour value in "
                 "hexadecimal; "
                 "ignored",
                 qPrintable(objectName()));
        return;
    }
    setButtonFaceTransColor(*colour);
}

void TLMDMMButton::setTransparent(bool transparent)
{
    m_transparent = transparent;
    update();
}

void TLMDMMButton::setForceTransparent(bool force)
{
    m_forceTransparent = force;
    update();
}

void TLMDMMButton::setColor(const QColor& colour)
{
    m_color = colour;
    update();
}

void TLMDMMButton::setAllowMouseOver(bool allow)
{
    m_allowMouseOver = allow;
    if (!allow && m_state == Hot)
        setState(Up);
}

void TLMDMMButton::setEnterColor(const QColor& colour)
{
    m_enterColor = colour;
    update();
}

void TLMDMMButton::setEnterColorChange(bool change)
{
    m_enterColorChange = change;
    update();
}

int TLMDMMButton::shownFace(State state) const
{
    if (!m_list)
        return -1;
    const int own = m_faces[state].imageIndex;
    if (m_list->isValid(own))
        return own;
    const int fallback = (state == Disabled || state == Hot || state == Unused)
                             ? m_faces[Up].imageIndex
                         : state == Up ? -1
                                       : m_faces[Held].imageIndex;
    return m_list->isValid(fallback) ? fallback : -1;
}

bool TLMDMMButton::hitTest(QPoint position) const
{
    if (!m_allowTransparency)
        return rect().contains(position);
    const int face = shownFace(m_state);
    if (face < 0 || !m_faceRect.contains(position))
        return false;
    // The offset into the face is not rescaled: a scaled face is tested on its unscaled pixels.
    return !sameColour(m_list->pixel(face, position - m_faceRect.topLeft()), m_transColor);
}

QSize TLMDMMButton::sizeHint() const
{
    const int face = shownFace(Up);
    return face < 0 ? newButtonSize : m_list->bitmapSize(face);
}

bool TLMDMMButton::event(QEvent* event)
{
    if (event->type() == QEvent::Shortcut &&
        static_cast<QShortcutEvent*>(event)->shortcutId() == m_shortcut) {
        Q_EMIT clicked();
        return true;
    }
    return QWidget::event(event);
}

void TLMDMMButton::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange) {
        // A disabled button receives no release, so a press in progress ends here unclicked.
        m_pressedWithMouse = false;
        setState(isEnabled() ? Up : Disabled);
    } else if (event->type() == QEvent::FontChange) {
        refreshCaption();
    }
    QWidget::changeEvent(event);
}

void TLMDMMButton::mousePressEvent(QMouseEvent* event)
{
    if (!hitTest(pixelAt(event)) || !isEnabled() || event->button() != Qt::LeftButton)
        return;
    m_pressedWithMouse = true;
    setState(Held);
}

void TLMDMMButton::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_pressedWithMouse)
        return;
    const QPoint position = pixelAt(event);
    setState(hitTest(position) ? Held : restingState(rect().contains(position)));
}

void TLMDMMButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_pressedWithMouse || event->button() != Qt::LeftButton)
        return;
    m_pressedWithMouse = false;
    const QPoint at = pixelAt(event);
    // The row just below the button still counts.
    const bool inside = at.x() >= 0 && at.x() < width() && at.y() >= 0 && at.y() <= height();
    setState(restingState(inside));
    if (inside)
        Q_EMIT clicked();
}

void TLMDMMButton::enterEvent(QEnterEvent* event)
{
    if (!m_pressedWithMouse)
        setState(restingState(true));
    QWidget::enterEvent(event);
}

void TLMDMMButton::leaveEvent(QEvent* event)
{
    if (!m_pressedWithMouse)
        setState(restingState(false));
    QWidget::leaveEvent(event);
}

TLMDMMButton::State TLMDMMButton::restingState(bool mouseOver) const
{
    if (!isEnabled())
        return Disabled;
    return m_allowMouseOver && mouseOver ? Hot : Up;
}

void TLMDMMButton::setState(State state)
{
    if (m_state == state)
        return;
    m_state = state;
    if (!isVisible())
        return;
    // A transparent button waits for its parent to repaint the background under it.
    if (m_transparent)
        update();
    else
        repaint();
}

void TLMDMMButton::refreshCaption()
{
    if (m_transparent)
        repaint();
    else
        update();
}

bool TLMDMMButton::fitToFace()
{
    const int face = shownFace(m_state);
    QSize size = face < 0 ? QSize() : m_list->bitmapSize(face);
    if (size.isEmpty())
        size = emptyFaceSize;
    if (size == this->size())
        return false;
    resize(size);
    return true;
}

void TLMDMMButton::paintEvent(QPaintEvent*)
{
    if (!m_list) {
        m_faceRect = {};
        if (!m_transparent)
            QPainter(this).fillRect(rect(), m_color);
        return;
    }
    if (m_faceStyle == FaceFit::sbAutosize && fitToFace())
        return;
    const QImage image = composite();
    QPainter(this).drawImage(0, 0, image);
}

// The face and the caption composed off-screen; transparent wherever the face leaves out its
// key colour and the caption does not reach, so one copy puts everything on screen.
QImage TLMDMMButton::composite()
{
    QImage image(size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(m_transparent ? QColor(Qt::transparent) : m_color);
    QPainter painter(&image);
    const int face = shownFace(m_state);
    m_faceRect = face < 0 ? QRect()
                          : m_list->draw(painter, face, rect(), m_faceStyle,
                                         m_transparent || m_forceTransparent);
    drawCaption(painter);
    return image;
}

QColor TLMDMMButton::currentCaptionColor() const
{
    const bool entered = m_state >= Hot && m_state <= MenuOpen;
    return entered && m_allowMouseOver && m_enterColorChange ? m_enterColor : m_captionColor;
}

void TLMDMMButton::drawCaption(QPainter& painter) const
{
    const bool down = m_state == Latched || m_state == Held || m_state == MenuOpen;
    const QRect area = rect().translated(down ? QPoint(m_captionDown, m_captionDown) : QPoint());
    QString text = m_useCaption ? m_caption : QString();
    if (text.isEmpty())
        text = QStringLiteral(" ");

    painter.setFont(font());
    const int flags = Qt::TextShowMnemonic |
                      (m_multiLine ? Qt::TextWordWrap | Qt::AlignHCenter : Qt::TextSingleLine);
    const QSize extent =
        QFontMetrics(font(), painter.device()).boundingRect(area, flags, text).size();

    // A box two pixels larger than the text is placed in the area; the text starts one pixel
    // into it.
    const QSize box = extent + QSize(2, 2);
    QPoint topLeft = area.topLeft();
    if (m_captionAlignment & Qt::AlignRight)
        topLeft.rx() += area.width() - box.width();
    else if (m_captionAlignment & Qt::AlignHCenter)
        topLeft.rx() += (area.width() - box.width()) / 2;
    if (m_captionAlignment & Qt::AlignBottom)
        topLeft.ry() += area.height() - box.height();
    else if (m_captionAlignment & Qt::AlignVCenter)
        topLeft.ry() += (area.height() - box.height()) / 2;
    const QRect textRect(topLeft + m_offset + QPoint(1, 1), extent);

    if (isEnabled()) {
        painter.setPen(currentCaptionColor());
        painter.drawText(textRect, flags, text);
        return;
    }
    // Engraved: a highlight one pixel right and down, the grey text over it.
    painter.setPen(m_lightColor);
    painter.drawText(textRect.translated(1, 1), flags, text);
    painter.setPen(palette().color(QPalette::Disabled, QPalette::WindowText));
    painter.drawText(textRect, flags, text);
}

} // namespace tolvane
