#include "widgets/GroupBox.h"

#include <QApplication>

namespace tolvane {

TGroupBox::TGroupBox(QWidget* parent)
    : QGroupBox(parent)
{
    connect(qApp, &QApplication::focusChanged, this, &TGroupBox::focusMoved);
}

bool TGroupBox::holds(const QWidget* widget) const
{
    return widget == this || isAncestorOf(widget);
}

void TGroupBox::focusMoved(QWidget* from, QWidget* to)
{
    if (!from || !to || from->window() != to->window())
        return;
    if (holds(to) && !holds(from))
        Q_EMIT entered();
}

} // namespace tolvane
