#pragma once

#include "widgets/GroupBox.h"

#include <QStringList>

class QButtonGroup;
class QRadioButton;

namespace tolvane {

// A captioned group of radio buttons in one column, one per item, selected by position.
//
// onClick fires whenever the selection changes, whether a user clicks or presses an arrow key or
// code sets itemIndex; it does not fire when the item already selected is chosen again, nor when
// the selection is cleared. Tab enters the group on its selected item (the first when none is);
// the arrow keys move to the previous or next item and select it, round from the last to the
// first, as radio groups do on every desktop. To assistive technology the items are radio
// buttons, one of them checked.
class TRadioGroup : public TGroupBox {
    Q_OBJECT
    Q_DISABLE_COPY(TRadioGroup)
    Q_PROPERTY(QStringList items READ items WRITE setItems)
    Q_PROPERTY(int itemIndex READ itemIndex WRITE setItemIndex)

public:
    explicit TRadioGroup(QWidget* parent = nullptr);

    QStringList items() const { return m_items; }
    void setItems(const QStringList& items);
    void addItem(const QString& caption);
    int count() const { return static_cast<int>(m_items.size()); }
    QString itemCaption(int index) const { return m_items.value(index); }

    // -1 when nothing is selected. Setting a position outside the items clears the selection.
    int itemIndex() const { return m_itemIndex; }
    void setItemIndex(int index);

    // The item's button, for tab orders and tests; null outside the items.
    QRadioButton* button(int index) const;

Q_SIGNALS:
    void onClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buttonToggled(int index, bool checked);
    void arrangeButtons();

    QButtonGroup* m_group;
    QStringList m_items;
    int m_itemIndex = -1;
};

} // namespace tolvane
