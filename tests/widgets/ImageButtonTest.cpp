#include "widgets/ImageButton.h"
#include "tests/support/QtPrinting.h"
#include "widgets/BitmapList.h"

#include "ui_ButtonForm.h"

#include <QApplication>
#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace {

using tolvane::FaceFit;
using tolvane::TLMDBitmapList;
using tolvane::TLMDMMButton;

const QColor teal(0, 128, 128);
const QColor lime(0, 255, 0);
const QColor yellow(255, 255, 0);

bool isLime(const QColor& c)
{
    return c.green() > 200 && c.red() < 90 && c.blue() < 90;
}

bool isYellow(const QColor& c)
{
    return c.red() > 200 && c.green() > 200 && c.blue() < 90;
}

bool isTeal(const QColor& c)
{
    return c == teal;
}

int countPixels(const QImage& image, const std::function<bool(const QColor&)>& test)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += test(image.pixelColor(x, y));
    return count;
}

QRect boundsOf(const QImage& image, const std::function<bool(const QColor&)>& test)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (test(image.pixelColor(x, y)))
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

class CountPaints : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

// The main window's row of buttons on a black form, with their faces.
class ImageButtonTest : public testing::Test {
protected:
    void SetUp() override
    {
        ui.setupUi(&form);
        QPalette black = form.palette();
        black.setColor(QPalette::Window, Qt::black);
        form.setPalette(black);
        form.setAutoFillBackground(true);
        faces = new TLMDBitmapList(&form);
        faces->loadFromFile(QStringLiteral(":/faces/LMDBitmapList1.bin"));
        for (TLMDMMButton* button : buttons())
            button->setButtonFaceImageList(faces);
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        QObject::connect(ui.PranStart, &TLMDMMButton::clicked, [this] {
            ++clicks;
            stateAtClick = ui.PranStart->state();
            shotAtClick = shot(ui.PranStart);
        });
    }

    std::vector<TLMDMMButton*> buttons() const
    {
        return {ui.PranStart, ui.KevaliStart, ui.StopProg,
                ui.PranSet,   ui.KevaliSet,   ui.LMDMMButton6};
    }

    // What the form shows where the button is.
    QImage shot(const TLMDMMButton* button) { return form.grab(button->geometry()).toImage(); }

    // Mouse events go to the window, as the window system delivers them.
    QPoint at(const TLMDMMButton* button, QPoint point) const
    {
        return button->mapTo(&form, point);
    }
    void press(const TLMDMMButton* button, QPoint point, Qt::MouseButton which = Qt::LeftButton)
    {
        QTest::mousePress(form.windowHandle(), which, {}, at(button, point));
    }
    void move(const TLMDMMButton* button, QPoint point)
    {
        QTest::mouseMove(form.windowHandle(), at(button, point));
    }
    void release(const TLMDMMButton* button, QPoint point, Qt::MouseButton which = Qt::LeftButton)
    {
        QTest::mouseRelease(form.windowHandle(), which, {}, at(button, point));
    }

    // The face as the button shows it: scaled without blending, key pixels showing the form.
    QImage expectedFace(int item) const
    {
        return faces->item(item).keyedBitmap().scaled(25, 25, Qt::IgnoreAspectRatio,
                                                      Qt::FastTransformation);
    }

    // Compares the ring near the edges, which the caption never reaches.
    void expectFace(const QImage& shown, int item) const
    {
        const QImage face = expectedFace(item);
        for (int y = 0; y < 25; ++y)
            for (int x = 0; x < 25; ++x) {
                if (x >= 4 && x < 21 && y >= 4 && y < 21)
                    continue;
                const QColor expected =
                    qAlpha(face.pixel(x, y)) == 0 ? QColor(Qt::black) : face.pixelColor(x, y);
                ASSERT_EQ(shown.pixelColor(x, y), expected)
                    << "item " << item << " at " << x << ',' << y;
            }
    }

    QWidget form;
    Ui::ButtonForm ui;
    TLMDBitmapList* faces = nullptr;
    int clicks = 0;
    TLMDMMButton::State stateAtClick = TLMDMMButton::Held;
    QImage shotAtClick;
};

TEST_F(ImageButtonTest, FormGivesEachButtonItsSettings)
{
    const TLMDMMButton* stop = ui.StopProg;
    EXPECT_EQ(stop->geometry(), QRect(102, 144, 25, 25));
    EXPECT_EQ(stop->caption(), QStringLiteral("|"));
    EXPECT_EQ(stop->captionColor(), lime);
    EXPECT_EQ(stop->toolTip(), QStringLiteral("Stop Programme"));
    EXPECT_EQ(stop->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_TRUE(stop->font().bold());
    EXPECT_EQ(stop->font().pixelSize(), 13);
    EXPECT_TRUE(stop->transparent());
    EXPECT_FALSE(stop->allowMouseOver());
    EXPECT_EQ(stop->buttonFaceStyle(), FaceFit::sbKeepAspRatio);
    EXPECT_EQ(stop->buttonFaceTransColor(), teal);
    EXPECT_EQ(ui.KevaliSet->captionColor(), yellow);
    EXPECT_EQ(ui.PranSet->font().pixelSize(), 11);
    EXPECT_FALSE(ui.PranStart->font().bold());
    for (const TLMDMMButton* button : buttons()) {
        for (int state = 0; state < tolvane::FaceTable::stateCount; ++state)
            EXPECT_EQ(button->buttonFaceTable()[state].imageIndex, state == TLMDMMButton::Held);
        EXPECT_EQ(button->shownFace(TLMDMMButton::Up), 0);
        EXPECT_EQ(button->shownFace(TLMDMMButton::Held), 1);
        EXPECT_EQ(button->faceRect(), QRect(0, 0, 25, 25));
    }
    EXPECT_EQ(ui.PranStart->buttonFaceTransColNew(), QStringLiteral("00808000"));
}

TEST_F(ImageButtonTest, CompositeNeverShowsTealAndLetsTheFormThrough)
{
    const QImage up = form.grab().toImage();
    EXPECT_EQ(countPixels(up, isTeal), 0);
    for (const TLMDMMButton* button : buttons()) {
        const QImage face = shot(button);
        EXPECT_EQ(face.pixelColor(0, 0), QColor(Qt::black));
        EXPECT_EQ(face.pixelColor(24, 24), QColor(Qt::black));
        EXPECT_GT(countPixels(face, [](const QColor& c) { return c.lightness() > 60; }), 100);
    }
    expectFace(shot(ui.KevaliStart), 0);

    press(ui.PranStart, {12, 12});
    ui.StopProg->setEnabled(false);
    EXPECT_EQ(countPixels(form.grab().toImage(), isTeal), 0);
}

TEST_F(ImageButtonTest, ClickShowsTheHeldFaceAndFiresOnceWithTheButtonUp)
{
    TLMDMMButton* button = ui.PranStart;
    expectFace(shot(button), 0);
    const QRect captionUp = boundsOf(shot(button), isLime);
    ASSERT_FALSE(captionUp.isEmpty());

    press(button, {12, 12});
    EXPECT_EQ(button->state(), TLMDMMButton::Held);
    const QImage held = shot(button);
    expectFace(held, 1);
    // The caption moves right and down by one pixel while held.
    EXPECT_EQ(boundsOf(held, isLime), captionUp.translated(1, 1));
    EXPECT_EQ(clicks, 0);

    release(button, {12, 12});
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(stateAtClick, TLMDMMButton::Up);
    expectFace(shotAtClick, 0);
    EXPECT_EQ(boundsOf(shotAtClick, isLime), captionUp);
}

TEST_F(ImageButtonTest, DragOffAndReleaseOutsideFiresNothing)
{
    TLMDMMButton* button = ui.PranStart;
    press(button, {12, 12});
    move(button, {40, 12});
    EXPECT_EQ(button->state(), TLMDMMButton::Up);
    expectFace(shot(button), 0);
    move(button, {12, 12});
    EXPECT_EQ(button->state(), TLMDMMButton::Held);
    move(button, {12, 30});
    release(button, {12, 30});
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(button->state(), TLMDMMButton::Up);
}

TEST_F(ImageButtonTest, HitTestUsesTheUnscaledFacePixel)
{
    TLMDMMButton* button = ui.PranStart;
    // The top-left corner pixel is teal in the face: no click.
    press(button, {0, 0});
    EXPECT_EQ(button->state(), TLMDMMButton::Up);
    release(button, {0, 0});
    EXPECT_EQ(clicks, 0);

    // The bottom-right pixel shows the form, but pixel (24, 24) of the face is on the ring.
    ASSERT_NE(faces->pixel(0, {24, 24}), teal);
    press(button, {24, 24});
    EXPECT_EQ(button->state(), TLMDMMButton::Held);
    release(button, {24, 24});
    EXPECT_EQ(clicks, 1);

    // Pixel (13, 0) of the scaled face is ring, of the unscaled face teal.
    ASSERT_NE(qAlpha(expectedFace(0).pixel(13, 0)), 0);
    ASSERT_EQ(faces->pixel(0, {13, 0}), teal);
    EXPECT_FALSE(button->hitTest({13, 0}));
    EXPECT_TRUE(button->hitTest({12, 12}));
}

TEST_F(ImageButtonTest, ReleaseOnTheRowBelowStillCounts)
{
    TLMDMMButton* button = ui.PranStart;
    press(button, {12, 12});
    release(button, {12, 25});
    EXPECT_EQ(clicks, 1);

    press(button, {12, 12});
    release(button, {12, 26});
    press(button, {12, 12});
    release(button, {25, 12});
    press(button, {12, 12});
    release(button, {-1, 12});
    EXPECT_EQ(clicks, 1);
}

TEST_F(ImageButtonTest, RightButtonDoesNothing)
{
    press(ui.PranStart, {12, 12}, Qt::RightButton);
    EXPECT_EQ(ui.PranStart->state(), TLMDMMButton::Up);
    release(ui.PranStart, {12, 12}, Qt::RightButton);
    EXPECT_EQ(clicks, 0);
}

TEST_F(ImageButtonTest, DoubleClickFiresTwice)
{
    QTest::mouseDClick(form.windowHandle(), Qt::LeftButton, {}, at(ui.PranStart, {12, 12}));
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(ui.PranStart->state(), TLMDMMButton::Up);
}

TEST_F(ImageButtonTest, DisabledButtonIgnoresTheMouseAndEngravesItsCaption)
{
    TLMDMMButton* button = ui.PranStart;
    button->setEnabled(false);
    EXPECT_EQ(button->state(), TLMDMMButton::Disabled);
    press(button, {12, 12});
    release(button, {12, 12});
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(button->state(), TLMDMMButton::Disabled);

    const QImage disabled = shot(button);
    expectFace(disabled, 0);
    EXPECT_EQ(countPixels(disabled, isLime), 0);
    const QColor grey = button->palette().color(QPalette::Disabled, QPalette::WindowText);
    const QRect greyText = boundsOf(disabled, [&](const QColor& c) { return c == grey; });
    const QRect highlight =
        boundsOf(disabled, [&](const QColor& c) { return c == button->lightColor(); });
    ASSERT_FALSE(greyText.isEmpty());
    EXPECT_EQ(highlight.bottomRight(), greyText.bottomRight() + QPoint(1, 1));

    button->setEnabled(true);
    EXPECT_GT(countPixels(shot(button), isLime), 0);
}

TEST_F(ImageButtonTest, DisablingWhileHeldEndsThePressUnclicked)
{
    press(ui.PranStart, {12, 12});
    ui.PranStart->setEnabled(false);
    release(ui.PranStart, {12, 12});
    ui.PranStart->setEnabled(true);
    release(ui.PranStart, {12, 12});
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(ui.PranStart->state(), TLMDMMButton::Up);
}

TEST_F(ImageButtonTest, StopCaptionColourRepaintsAtOnce)
{
    TLMDMMButton* stop = ui.StopProg;
    EXPECT_GT(countPixels(shot(stop), isLime), 0);
    CountPaints counter;
    stop->installEventFilter(&counter);

    stop->setCaptionColor(yellow);
    EXPECT_EQ(counter.paints, 1);
    EXPECT_EQ(stop->captionColor(), yellow);
    const QImage shown = shot(stop);
    EXPECT_GT(countPixels(shown, isYellow), 0);
    EXPECT_EQ(countPixels(shown, isLime), 0);

    counter.paints = 0;
    stop->setCaptionColor(yellow);
    EXPECT_EQ(counter.paints, 0);
    QFont larger = stop->font();
    larger.setPixelSize(20);
    stop->setFont(larger);
    EXPECT_GE(counter.paints, 1);
    counter.paints = 0;
    stop->setCaption(QStringLiteral("II"));
    EXPECT_EQ(counter.paints, 1);
}

TEST_F(ImageButtonTest, AcceleratorClicksTheButton)
{
    ui.PranStart->setCaption(QStringLiteral("&G"));
    EXPECT_EQ(ui.PranStart->accessibleName(), QStringLiteral("G"));
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_G, Qt::AltModifier);
    EXPECT_EQ(clicks, 1);
    ui.PranStart->setEnabled(false);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_G, Qt::AltModifier);
    EXPECT_EQ(clicks, 1);
}

TEST_F(ImageButtonTest, ForgetsItsListWhenTheListIsDestroyed)
{
    delete faces;
    EXPECT_EQ(ui.PranStart->buttonFaceImageList(), nullptr);
    const QImage bare = shot(ui.PranStart);
    EXPECT_EQ(countPixels(bare, [](const QColor& c) { return c != Qt::black; }), 0);
    EXPECT_FALSE(ui.PranStart->hitTest({12, 12}));
}

TEST(ImageButton, NewButtonDefaults)
{
    TLMDMMButton button;
    EXPECT_EQ(button.size(), QSize(25, 25));
    EXPECT_EQ(button.state(), TLMDMMButton::Up);
    EXPECT_EQ(button.buttonFaceStyle(), FaceFit::sbNone);
    EXPECT_EQ(button.buttonFaceTransColor(), QColor(Qt::white));
    EXPECT_FALSE(button.transparent());
    EXPECT_TRUE(button.forceTransparent());
    EXPECT_TRUE(button.allowTransparency());
    EXPECT_TRUE(button.useCaption());
    EXPECT_EQ(button.captionDown(), 1);
    EXPECT_EQ(button.buttonFaceTable(), tolvane::FaceTable());
    EXPECT_EQ(button.shownFace(TLMDMMButton::Up), -1);
}

QStringList warnings;

void collectWarnings(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtWarningMsg)
        warnings << message;
}

TEST(ImageButton, MalformedStoredFormsLeaveTheTableAsItWas)
{
    TLMDMMButton button;
    button.setObjectName(QStringLiteral("PranStart"));
    button.setButtonFaceIndicesNew2(QString(128, u'0').replace(88, 2, QStringLiteral("02")));
    EXPECT_EQ(button.buttonFaceTable()[TLMDMMButton::Held].imageIndex, 2);

    warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(collectWarnings);
    button.setButtonFaceIndicesNew2(QStringLiteral("0000"));
    button.setButtonFaceIndicesNew2(QString(128, u'g'));
    button.setButtonFaceTransColNew(QStringLiteral("0f0000ff"));
    button.setButtonFaceTransColNew(QStringLiteral("0080"));
    qInstallMessageHandler(previous);

    EXPECT_EQ(button.buttonFaceTable()[TLMDMMButton::Held].imageIndex, 2);
    EXPECT_EQ(button.buttonFaceTransColor(), QColor(Qt::white));
    ASSERT_EQ(warnings.size(), 4);
    EXPECT_TRUE(warnings[0].startsWith(u"TLMDMMButton PranStart: ButtonFaceIndicesNew2"));
    EXPECT_TRUE(warnings[3].contains(u"ButtonFaceTransColNew"));
}

TEST(ImageButton, FacesFallBackToTheUpOrHeldFace)
{
    TLMDBitmapList list;
    list.loadFromFile(QStringLiteral(":/faces/LMDBitmapList1.bin"));
    TLMDMMButton button;
    button.setButtonFaceImageList(&list);
    tolvane::FaceTable table;
    for (int state = 0; state < tolvane::FaceTable::stateCount; ++state)
        table[state].imageIndex = 9;
    table[TLMDMMButton::Up].imageIndex = 0;
    table[TLMDMMButton::Held].imageIndex = 1;
    button.setButtonFaceTable(table);
    const int expected[] = {0, 0, 0, 1, 1, 0, 1, 1};
    for (int state = 0; state < tolvane::FaceTable::stateCount; ++state)
        EXPECT_EQ(button.shownFace(TLMDMMButton::State(state)), expected[state]) << state;
    table[TLMDMMButton::Held].imageIndex = 9;
    button.setButtonFaceTable(table);
    EXPECT_EQ(button.shownFace(TLMDMMButton::Held), -1);
}

TEST(ImageButton, OpaqueButtonFillsWithItsColourUnlessForcedTransparent)
{
    TLMDBitmapList list;
    list.loadFromFile(QStringLiteral(":/faces/LMDBitmapList1.bin"));
    TLMDMMButton button;
    button.setButtonFaceImageList(&list);
    button.setButtonFaceStyle(FaceFit::sbKeepAspRatio);
    button.setColor(Qt::red);
    EXPECT_EQ(button.grab().toImage().pixelColor(0, 0), QColor(Qt::red));
    button.setForceTransparent(false);
    EXPECT_EQ(button.grab().toImage().pixelColor(0, 0), teal);
}

TEST(ImageButton, AutosizeTakesTheFaceSize)
{
    TLMDBitmapList list;
    list.loadFromFile(QStringLiteral(":/faces/LMDBitmapList1.bin"));
    TLMDMMButton button;
    button.setButtonFaceImageList(&list);
    button.setButtonFaceStyle(FaceFit::sbAutosize);
    button.grab();
    EXPECT_EQ(button.size(), QSize(37, 37));
    EXPECT_EQ(button.sizeHint(), QSize(37, 37));
}

} // namespace
