#include "widgets/ComboBox.h"

#include "platform/Convert.h"
#include "platform/Errors.h"

#include <QKeyEvent>
#include <QWheelEvent>

#include <cstdint>
#include <cstdlib>
#include <limits>

namespace tolvane {

TComboBox::TComboBox(QWidget* parent)
    : QComboBox(parent)
{
    setEditable(true);
    setCompleter(nullptr);
    setInsertPolicy(QComboBox::NoInsert);
    // Not the wheel focus of a plain box: a wheel turned over a box in passing must not move the
    // focus, which would count as entering the box's group.
    setFocusPolicy(Qt::StrongFocus);
}

void TComboBox::keyPressEvent(QKeyEvent* event)
{
    // Alt+Down still opens the list, and Ctrl with an arrow stays with the edit field.
    if (!(event->modifiers() & (Qt::AltModifier | Qt::ControlModifier))) {
        switch (event->key()) {
        case Qt::Key_Up:
        case Qt::Key_PageUp:
            step(-1);
            return;
        case Qt::Key_Down:
        case Qt::Key_PageDown:
            step(+1);
            return;
        default:
            break;
        }
    }
    QComboBox::keyPressEvent(event);
}

void TComboBox::wheelEvent(QWheelEvent* event)
{
    if (!hasFocus()) {
        event->ignore();
        return;
    }
    // Turning up steps up the list, as Up does; fine-grained wheels step once per whole notch.
    m_wheelAngle += event->angleDelta().y();
    const int notches = m_wheelAngle / QWheelEvent::DefaultDeltasPerStep;
    m_wheelAngle -= notches * QWheelEvent::DefaultDeltasPerStep;
    for (int notch = 0; notch < std::abs(notches); ++notch)
        step(notches > 0 ? -1 : +1);
    event->accept();
}

void TComboBox::step(int direction)
{
    std::int64_t shown = std::numeric_limits<std::int64_t>::min();
    try {
        shown = platform::StrToInt(currentText());
    } catch (const EConvertError&) {
        // Not a number: before the first item.
    }
    int target = -1;
    for (int index = 0; index < count(); ++index) {
        const std::int64_t item = itemText(index).toLongLong();
        if (direction > 0 && item > shown) {
            target = index;
            break;
        }
        if (direction < 0 && item < shown)
            target = index;
    }
    if (target < 0)
        return;
    // The list position may already be there while the text shows something typed since.
    setCurrentIndex(target);
    setEditText(itemText(target));
}

} // namespace tolvane
