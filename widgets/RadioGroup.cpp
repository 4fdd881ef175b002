#include "widgets/RadioGroup.h"

#include <QButtonGroup>
#include <QEvent>
#include <QKeyEvent>
#include <QRadioButton>

#include <algorithm>

namespace tolvane {

namespace {

constexpr int buttonIndent = 8;
constexpr int bottomMargin = 4;

// -1 for Up and Left, +1 for Down and Right; 0 for other keys and with Shift, Ctrl or Alt.
int arrowStep(const QKeyEvent& key)
{
    if (key.modifiers() & ~Qt::KeypadModifier)
        return 0;
    switch (key.key()) {
    case Qt::Key_Up:
    case Qt::Key_Left:
        return -1;
    case Qt::Key_Down:
    case Qt::Key_Right:
        return +1;
    default:
        return 0;
    }
}

} // namespace

TRadioGroup::TRadioGroup(QWidget* parent)
    : TGroupBox(parent)
    , m_group(new QButtonGroup(this))
{
    connect(m_group, &QButtonGroup::idToggled, this, &TRadioGroup::buttonToggled);
}

void TRadioGroup::setItems(const QStringList& items)
{
    setItemIndex(-1);
    qDeleteAll(m_group->buttons());
    m_items.clear();
    for (const QString& caption : items)
        addItem(caption);
}

void TRadioGroup::addItem(const QString& caption)
{
    auto* item = new QRadioButton(caption, this);
    // The group, not the buttons' parent, keeps them exclusive, so that code can also clear the
    // selection; the buttons' own flag only makes them radio buttons to assistive technology.
    item->setAutoExclusive(true);
    item->installEventFilter(this);
    m_group->addButton(item, count());
    m_items.append(caption);
    arrangeButtons();
    item->setVisible(true);
}

QRadioButton* TRadioGroup::button(int index) const
{
    return qobject_cast<QRadioButton*>(m_group->button(index));
}

void TRadioGroup::setItemIndex(int index)
{
    if (index < 0 || index >= count())
        index = -1;
    if (index == m_itemIndex)
        return;
    if (index >= 0) {
        button(index)->setChecked(true); // the toggle reports the change
        return;
    }
    m_group->setExclusive(false);
    button(m_itemIndex)->setChecked(false);
    m_group->setExclusive(true);
    m_itemIndex = -1;
    arrangeButtons();
}

void TRadioGroup::buttonToggled(int index, bool checked)
{
    if (!checked || index == m_itemIndex)
        return;
    m_itemIndex = index;
    arrangeButtons();
    Q_EMIT onClick();
}

bool TRadioGroup::eventFilter(QObject* watched, QEvent* event)
{
    const int from = m_group->id(qobject_cast<QAbstractButton*>(watched));
    const int step =
        event->type() == QEvent::KeyPress ? arrowStep(*static_cast<QKeyEvent*>(event)) : 0;
    if (from < 0 || step == 0)
        return TGroupBox::eventFilter(watched, event);
    const int to = (from + step + count()) % count();
    setItemIndex(to);
    button(to)->setFocus();
    return true;
}

void TRadioGroup::resizeEvent(QResizeEvent* event)
{
    TGroupBox::resizeEvent(event);
    arrangeButtons();
}

void TRadioGroup::changeEvent(QEvent* event)
{
    TGroupBox::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        arrangeButtons();
}

// One column of equal rows under the caption; only the selected item (or the first) is a Tab
// stop, the others take the focus by click or arrow key.
void TRadioGroup::arrangeButtons()
{
    if (m_items.isEmpty())
        return;
    const int top = fontMetrics().height();
    const int rowHeight = std::max(1, (height() - top - bottomMargin) / count());
    const int tabStop = std::max(m_itemIndex, 0);
    for (int index = 0; index < count(); ++index) {
        QRadioButton* item = button(index);
        // Sized to its caption: a radio button answers clicks on its mark and caption only.
        const QSize size = item->sizeHint().boundedTo({width() - 2 * buttonIndent, rowHeight});
        item->setGeometry(buttonIndent, top + index * rowHeight + (rowHeight - size.height()) / 2,
                          size.width(), size.height());
        item->setFocusPolicy(index == tabStop ? Qt::StrongFocus : Qt::ClickFocus);
    }
}

} // namespace tolvane
