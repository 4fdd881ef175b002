#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class TKSettings;
}

namespace tolvane {

// The Kevali settings dialog: the time of practice, the initial breath length and the delay.
class TKSettings : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY(TKSettings)

public:
    explicit TKSettings(QWidget* owner = nullptr);
    ~TKSettings() override;

    void FormCreate();
    void BitBtn1Click();
    void BitBtn2Click();

private:
    std::unique_ptr<Ui::TKSettings> ui;
};

} // namespace tolvane
