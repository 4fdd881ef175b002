#pragma once

#include <QDialog>

#include <memory>

class QTimer;

namespace Ui {
class TBeginning;
}

namespace tolvane {

// The splash window: the product picture for three seconds while the program starts.
class TBeginning : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY(TBeginning)

public:
    explicit TBeginning(QWidget* owner = nullptr);
    ~TBeginning() override;

    void Timer1Timer();

protected:
    // Nothing but the timer dismisses the splash.
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::unique_ptr<Ui::TBeginning> ui;
    QTimer* Timer1;
};

} // namespace tolvane
