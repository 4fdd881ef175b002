#include "forms/DialogSetup.h"

#include "forms/Refusal.h"
#include "platform/WindowFrame.h"

#include <QComboBox>
#include <QDialog>
#include <QPushButton>
#include <QStyle>

#include <utility>

namespace tolvane {

void setUpDialog(QDialog& dialog, QPushButton* ok, QPushButton* cancel)
{
    ok->setIcon(dialog.style()->standardIcon(QStyle::SP_DialogOkButton));
    if (cancel)
        cancel->setIcon(dialog.style()->standardIcon(QStyle::SP_DialogCancelButton));
    platform::centreOuterWindow(dialog);
}

void connectOk(QDialog& dialog, QPushButton* ok, std::function<void()> okClick)
{
    QObject::connect(ok, &QPushButton::clicked, &dialog,
                     [okClick = std::move(okClick)] { dispatchKeepingInput(okClick); });
}

void setBoxText(QComboBox* box, const QString& text)
{
    if (box->currentText() != text)
        box->setEditText(text);
}

} // namespace tolvane
