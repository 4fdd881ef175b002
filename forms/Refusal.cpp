#include "forms/Refusal.h"

#include "platform/Convert.h"
#include "platform/ErrorDispatch.h"
#include "widgets/GroupBox.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QSignalBlocker>

#include <vector>

namespace tolvane {

EInputRefused::EInputRefused(QComboBox* boxToMend, const QString& message)
    : TolvaneError(message)
    , m_boxToMend(boxToMend)
{
}

std::int32_t boxNumber(const QComboBox* box, QComboBox* boxToMend)
{
    try {
        return platform::StrToInt(box->currentText());
    } catch (const EConvertError& error) {
        throw EInputRefused(boxToMend, error.message());
    }
}

void dispatchKeepingInput(const std::function<void()>& okClick)
{
    QPointer<QComboBox> refused;
    platform::dispatch([&] {
        try {
            okClick();
        } catch (const EInputRefused& refusal) {
            refused = refusal.boxToMend();
            throw;
        }
    });
    if (!refused)
        return;
    // Putting the person back in the box is not their entering its group.
    std::vector<QSignalBlocker> quiet;
    for (QWidget* outer = refused->parentWidget(); outer; outer = outer->parentWidget()) {
        if (auto* group = qobject_cast<TGroupBox*>(outer))
            quiet.emplace_back(group);
    }
    refused->setFocus(Qt::OtherFocusReason);
    refused->lineEdit()->selectAll();
}

} // namespace tolvane
