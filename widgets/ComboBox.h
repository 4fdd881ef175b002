#pragma once

#include <QComboBox>

namespace tolvane {

// An editable drop-down box for a whole number, whose ascending list of numbers only offers
// values. It keeps exactly what is typed: nothing is completed from the list and Enter adds no
// item, so the first Enter reaches the dialog's default button. Up and Down (Page Up and Page
// Down alike) and the wheel step from the number shown to the neighbouring item, or to the
// nearest item in that direction when the number is not in the list. The wheel changes only a
// box that has the focus, and never gives it the focus.
class TComboBox : public QComboBox {
    Q_OBJECT
    Q_DISABLE_COPY(TComboBox)

public:
    explicit TComboBox(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    // Shows the first item above the number shown (+1, down the list) or the last one below it
    // (-1); text that is not a number counts as lying before the first item.
    void step(int direction);

    int m_wheelAngle = 0; // turned but not yet stepped, in eighths of a degree
};

} // namespace tolvane
