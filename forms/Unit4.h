#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class TAboutBox;
}

namespace tolvane {

// The About box: the product picture, name and version, and an OK button.
class TAboutBox : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY(TAboutBox)

public:
    explicit TAboutBox(QWidget* owner = nullptr);
    ~TAboutBox() override;

    void BitBtn1Click();

protected:
    // The box has no cancel button, so Esc does nothing; the close box still closes it.
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::unique_ptr<Ui::TAboutBox> ui;
};

} // namespace tolvane
