#pragma once

#include <QDialog>

#include <cstdint>
#include <memory>
#include <optional>

class QComboBox;
class QTimer;

namespace Ui {
class TSettings;
}

namespace tolvane {

// The Pranayama settings dialog: the type, the ratio, the four durations, the rounds, the delay
// and the automatic increment, with the round and total time recomputed every 10 ms. OK stores
// the settings, Cancel (or Esc) stores nothing.
class TSettings : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY(TSettings)

public:
    explicit TSettings(QWidget* owner = nullptr);
    ~TSettings() override;

    void FormCreate();
    void RadioGroup1Click();
    void RadioGroup2Click();
    void AutomaticClick();
    void SetDaysToNil();
    void Delay1Click();
    void Timer1Timer();
    void BitBtn1Click();
    void BitBtn2Click();

    // Esc and the close box cancel as the Cancel button does.
    void reject() override;

private:
    // The boxes as whole numbers with the round and total times they make.
    struct Practice {
        std::int32_t rounds = 0;
        std::int32_t inhale = 0;
        std::int32_t checkOne = 0;
        std::int32_t exhale = 0;
        std::int32_t checkTwo = 0;
        int roundSeconds = 0;
        int totalSeconds = 0;
    };
    // Raises the failure that OK shows when the boxes hold no valid practice.
    Practice practiceFromBoxes() const;
    std::optional<std::int32_t> periodFromBox() const;
    QComboBox* durationToMend(QComboBox* box) const;

    void zeroExcludedHolds();
    void deriveDurations();
    void showTimes();
    void arrangeTabOrder();

    std::unique_ptr<Ui::TSettings> ui;
    QTimer* Timer1;
};

} // namespace tolvane
