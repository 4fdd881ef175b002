#pragma once

#include <QColor>
#include <QList>
#include <QObject>
#include <QPixmap>

class QPaintEvent;
class QTimer;
class QWidget;

namespace tolvane {

// Paints a form's background under its child widgets: a two-colour gradient in stripes, or a
// tiled picture, or a tiled animation of images. It is not a widget; it attaches itself to the
// form it is given, filters the form's paint and resize events and lets the form's own handlers
// run after it. A form takes one background only.
//
// Settings (all Q_PROPERTYs):
//   beginColor, endColor, fillStyle   the gradient (blue to black, top to bottom by default)
//   picture                           when not null, tiled from the top left instead
//   images, speed                     when not empty, the current image is tiled over the form's
//                                     colour and the images cycle every 1001 - speed ms
class TdxfBackGround : public QObject {
    Q_OBJECT
    Q_PROPERTY(QColor beginColor READ beginColor WRITE setBeginColor)
    Q_PROPERTY(QColor endColor READ endColor WRITE setEndColor)
    Q_PROPERTY(FillStyle fillStyle READ fillStyle WRITE setFillStyle)
    Q_PROPERTY(QPixmap picture READ picture WRITE setPicture)
    Q_PROPERTY(QList<QPixmap> images READ images WRITE setImages)
    Q_PROPERTY(int speed READ speed WRITE setSpeed)

public:
    // fsVert changes the colour from top to bottom, fsHorz from left to right.
    enum FillStyle { fsHorz, fsVert };
    Q_ENUM(FillStyle)

    // Attaches to form and becomes its child. Throws EComponentError with "Form should have
    // only a single TdxfBackGround" when the form has one already; that one keeps working.
    explicit TdxfBackGround(QWidget* form);
    ~TdxfBackGround() override;
    Q_DISABLE_COPY(TdxfBackGround)

    QWidget* form() const { return m_form; }

    QColor beginColor() const { return m_beginColor; }
    void setBeginColor(const QColor& color);
    QColor endColor() const { return m_endColor; }
    void setEndColor(const QColor& color);
    FillStyle fillStyle() const { return m_fillStyle; }
    void setFillStyle(FillStyle style);

    QPixmap picture() const { return m_picture; }
    void setPicture(const QPixmap& picture);

    QList<QPixmap> images() const { return m_images; }
    void setImages(const QList<QPixmap>& images);
    // Clamped to 1..1000.
    int speed() const { return m_speed; }
    void setSpeed(int speed);
    // The animation period in milliseconds.
    int interval() const;
    // The image shown now.
    int frameIndex() const { return m_frameIndex; }

    // One animation step: shows the next image, after the last the first again. The timer calls
    // it; without images it does nothing.
    void animationTick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool animating() const { return !m_images.isEmpty(); }
    bool tiling() const { return animating() || !m_picture.isNull(); }
    void paint();
    void formResized();
    void rebuildFrame();
    void updateTimer();

    QWidget* m_form;
    QTimer* m_timer;
    QColor m_beginColor{0, 0, 255};
    QColor m_endColor{0, 0, 0};
    FillStyle m_fillStyle = fsVert;
    QPixmap m_picture;
    QList<QPixmap> m_images;
    int m_speed = 700;
    int m_frameIndex = 0;
    QPixmap m_frame;
};

} // namespace tolvane
