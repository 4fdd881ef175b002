#include "forms/Unit4.h"

#include "platform/ErrorDispatch.h"
#include "platform/Jpeg.h"
#include "platform/WindowFrame.h"
#include "ui_Unit4.h"

#include <QKeyEvent>
#include <QStyle>

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
    ui->BitBtn1->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    connect(ui->BitBtn1, &QPushButton::clicked, this,
            platform::handler(this, &TAboutBox::BitBtn1Click));
    platform::centreOuterWindow(*this);
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
