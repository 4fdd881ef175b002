#pragma once

#include <QDialog>

#include <array>
#include <memory>

class QCheckBox;

namespace Ui {
class TReminderSettings;
}

namespace tolvane {

// The reminder dialog: whether, when and on which days Tolvane reminds the person to practise,
// and which practice the reminder offers. OK sets up the systemd user timer, or removes it, and
// stores the choice; what it cannot set up is said, and the settings stay as they were.
class TReminderSettings : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY(TReminderSettings)

public:
    explicit TReminderSettings(QWidget* owner = nullptr);
    ~TReminderSettings() override;

    void FormCreate();
    void Remind1Click();
    void BitBtn1Click();
    void BitBtn2Click();

private:
    std::array<QCheckBox*, 7> days() const;

    std::unique_ptr<Ui::TReminderSettings> ui;
};

} // namespace tolvane
