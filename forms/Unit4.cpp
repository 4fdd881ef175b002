#include "forms/Unit4.h"

#include "forms/DialogSetup.h"
#include "platform/ErrorDispatch.h"
#include "platform/Jpeg.h"
#include "ui_Unit4.h"

#include <QKeyEvent>

namespace tolvane {

TAboutBox::TAboutBox(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint)
    , ui(std::make_unique<Ui::TAboutBox>())
{
    ui->setupUi(this);
    setFixedSize(size());
    ui->ProgramIcon->setPixmap(
        QPixmap::fromImage(platform::loadJpeg(QStringLiteral(":/pictures/splash.jpg"))));
    ui->ProductName->adjustSize();
    ui->Version->adjustSize();
    connect(ui->BitBtn1, &QPushButton::clicked, this,
            platform::handler(this, &TAboutBox::BitBtn1Click));
    setUpDialog(*this, ui->BitBtn1);
    ui->BitBtn1->setFocus();
}

TAboutBox::~TAboutBox() = default;

void TAboutBox::BitBtn1Click()
{
    accept();
}

void TAboutBox::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape)
        event->ignore();
    else
        QDialog::keyPressEvent(event);
}

} // namespace tolvane
