#include "widgets/CheckBox.h"

namespace tolvane {

TCheckBox::TCheckBox(QWidget* parent)
    : QCheckBox(parent)
{
    connect(this, &QCheckBox::toggled, this, &TCheckBox::onClick);
}

void TCheckBox::setTextLeftOfBox(bool left)
{
    setLayoutDirection(left ? Qt::RightToLeft : Qt::LeftToRight);
}

} // namespace tolvane
