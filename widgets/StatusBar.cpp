#include "widgets/StatusBar.h"

#include "widgets/Accessible.h"

#include <QAccessible>

namespace tolvane {

TStatusBar::TStatusBar(QWidget* parent)
    : QWidget(parent)
{
    useAccessibleInterfaces();
}

TStatusPanel::TStatusPanel(QWidget* parent)
    : QLabel(parent)
{
    useAccessibleInterfaces();
}

void TStatusPanel::announce()
{
    if (!m_announcing || text().isEmpty())
        return;
    // A notification that shows again: screen readers speak a status bar's notification as it
    // shows, and nothing else a status bar does. The panel itself stays on screen throughout.
    QAccessibleEvent shown(this, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}

} // namespace tolvane
