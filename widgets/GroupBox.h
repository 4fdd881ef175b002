#pragma once

#include <QGroupBox>

namespace tolvane {

// A group box that reports when the keyboard focus enters it: when the focus moves into the box,
// or into any control inside it, from a control of the same window outside the box, whether by
// Tab or by a click. Moves inside the box and the window's own activation do not count.
class TGroupBox : public QGroupBox {
    Q_OBJECT
    Q_DISABLE_COPY(TGroupBox)

public:
    explicit TGroupBox(QWidget* parent = nullptr);

Q_SIGNALS:
    void entered();

private:
    void focusMoved(QWidget* from, QWidget* to);
    bool holds(const QWidget* widget) const;
};

} // namespace tolvane
