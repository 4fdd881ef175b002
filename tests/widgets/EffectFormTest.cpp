#include "platform/ErrorDispatch.h"
#include "tests/support/QtPrinting.h"
#include "widgets/BackGround.h"
#include "widgets/EffectLabel.h"

#include "ui_EffectForm.h"

#include <QMainWindow>

#include <gtest/gtest.h>

namespace {

using tolvane::TdxfBackGround;
using tolvane::TdxfLabel;

// The main window's client area: three captions from the form over a black background.
class EffectForm : public testing::Test {
protected:
    EffectForm()
    {
        tolvane::platform::setErrorReporter([this](const QString& text) { errors << text; });
        ui.setupUi(&window);
        background = new TdxfBackGround(ui.ClientArea);
        background->setBeginColor(Qt::black);
        background->setEndColor(Qt::black);
        background->setFillStyle(TdxfBackGround::fsVert);
        background->setSpeed(700);
        ui.ClientArea->resize(271, 195);
    }
    ~EffectForm() override { tolvane::platform::setErrorReporter({}); }

    QStringList errors;
    QMainWindow window;
    Ui::EffectForm ui;
    TdxfBackGround* background = nullptr;
};

TEST_F(EffectForm, CaptionsTakeTheirSettingsFromTheForm)
{
    const std::tuple<TdxfLabel*, QRect, QString> captions[] = {
        {ui.dxfLabel1, {21, 96, 72, 13}, QStringLiteral("Remaining time")},
        {ui.dxfLabel2, {133, 96, 60, 13}, QStringLiteral("Elapsed time")},
        {ui.dxfLabel3, {226, 96, 31, 13}, QStringLiteral("Round")}};
    for (const auto& [label, bounds, text] : captions) {
        EXPECT_EQ(label->geometry(), bounds);
        EXPECT_EQ(label->text(), text);
        EXPECT_EQ(label->font().family(), QStringLiteral("MS Sans Serif"));
        EXPECT_EQ(label->fontColor(), QColor(0, 255, 0));
        EXPECT_TRUE(label->transparent());
        EXPECT_TRUE(label->parentColor());
        EXPECT_EQ(label->effect3DStyle(), tolvane::Tdxf3DEffect::dxfCool);
        EXPECT_EQ(label->effect3DShadowedColor(), QColor(128, 128, 128));
        EXPECT_EQ(label->color(), ui.ClientArea->palette().color(QPalette::Window));
    }
}

TEST_F(EffectForm, AnAngleTheFontCannotTakeIsReportedAndTheFormIsStillBuilt)
{
    EXPECT_EQ(errors, QStringList{QStringLiteral(
                          "The Angle property is applicable for the TrueType fonts only.")});
    EXPECT_EQ(ui.tiltedLabel->angle(), 0);
    EXPECT_EQ(ui.tiltedLabel->text(), QStringLiteral("Tilted"));
}

TEST_F(EffectForm, TheClientAreaShowsLimeCaptionsOnBlackOnly)
{
    ui.tiltedLabel->hide();
    const QImage image = ui.ClientArea->grab().toImage().convertToFormat(QImage::Format_RGB32);
    int lime = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (pixel == qRgb(0, 255, 0)) {
                ++lime;
                EXPECT_TRUE(y >= 96 && y < 96 + 13)
                    << "lime outside the captions at " << x << ',' << y;
            } else {
                ASSERT_EQ(pixel, qRgb(0, 0, 0)) << x << ',' << y;
            }
        }
    }
    EXPECT_GT(lime, 150);
}

} // namespace
