#pragma once

#include <QCheckBox>

namespace tolvane {

// A check box whose onClick fires whenever its mark changes, by a user's click or key or by code
// setting it; setting the mark it already has fires nothing.
class TCheckBox : public QCheckBox {
    Q_OBJECT
    Q_DISABLE_COPY(TCheckBox)
    // The caption left of the box instead of right of it.
    Q_PROPERTY(bool textLeftOfBox READ textLeftOfBox WRITE setTextLeftOfBox)

public:
    explicit TCheckBox(QWidget* parent = nullptr);

    bool textLeftOfBox() const { return layoutDirection() == Qt::RightToLeft; }
    void setTextLeftOfBox(bool left);

Q_SIGNALS:
    void onClick();
};

} // namespace tolvane
