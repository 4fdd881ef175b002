#pragma once

#include "widgets/BitmapList.h"
#include "widgets/FaceFit.h"
#include "widgets/FaceTable.h"

#include <QColor>
#include <QPointer>
#include <QString>
#include <QWidget>

class QPainter;

namespace tolvane {

// A push button drawn entirely from bitmaps: in each of its states it shows a face from a
// bitmap list, fitted into the button, with the caption over it. Wherever the face has its key
// colour (its bottom-left pixel) the parent shows through. A press counts only where the face
// differs from the hit-test colour; the click fires when the left button is released over the
// button, after the button is back up.
//
// Every setting can be given in a Designer form that promotes a QWidget to
// tolvane::TLMDMMButton (header "widgets/ImageButton.h"):
//   caption, captionColor  the text and its colour; an "&" marks an Alt accelerator
//   font, toolTip, cursor  the widget's own properties
//   useCaption, captionDown, captionAlignment, offsetX, offsetY, multiLine
//                          whether and where the caption goes; captionDown moves it right and
//                          down while the button is held
//   lightColor             the highlight of the engraved caption of a disabled button
//   buttonFaceStyle        how the face is fitted into the button
//   ButtonFaceIndicesNew2, ButtonFaceTransColNew
//                          the face table and the hit-test colour in their stored forms, as
//                          hexadecimal text (see FaceTable.h)
//   buttonFaceTransColor   the hit-test colour as a colour
//   transparent, forceTransparent, color
//                          a transparent button lets its parent show through the face's key
//                          pixels; otherwise it is filled with color, and the key pixels are
//                          left out only with forceTransparent
//   allowTransparency      presses count only on face pixels that differ from the hit-test colour
//   allowMouseOver, enterColor, enterColorChange
//                          the hot state while the mouse is over the button, and its caption
//                          colour
// The face list is set from code: setButtonFaceImageList().
class TLMDMMButton : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString caption READ caption WRITE setCaption)
    Q_PROPERTY(QColor captionColor READ captionColor WRITE setCaptionColor)
    Q_PROPERTY(bool useCaption READ useCaption WRITE setUseCaption)
    Q_PROPERTY(int captionDown READ captionDown WRITE setCaptionDown)
    Q_PROPERTY(Qt::Alignment captionAlignment READ captionAlignment WRITE setCaptionAlignment)
    Q_PROPERTY(int offsetX READ offsetX WRITE setOffsetX)
    Q_PROPERTY(int offsetY READ offsetY WRITE setOffsetY)
    Q_PROPERTY(bool multiLine READ multiLine WRITE setMultiLine)
    Q_PROPERTY(QColor lightColor READ lightColor WRITE setLightColor)
    Q_PROPERTY(
        tolvane::FaceFit::Style buttonFaceStyle READ buttonFaceStyle WRITE setButtonFaceStyle)
    Q_PROPERTY(
        QString ButtonFaceIndicesNew2 READ buttonFaceIndicesNew2 WRITE setButtonFaceIndicesNew2)
    Q_PROPERTY(
        QString ButtonFaceTransColNew READ buttonFaceTransColNew WRITE setButtonFaceTransColNew)
    Q_PROPERTY(QColor buttonFaceTransColor READ buttonFaceTransColor WRITE setButtonFaceTransColor)
    Q_PROPERTY(bool transparent READ transparent WRITE setTransparent)
    Q_PROPERTY(bool forceTransparent READ forceTransparent WRITE setForceTransparent)
    Q_PROPERTY(QColor color READ color WRITE setColor)
    Q_PROPERTY(bool allowTransparency READ allowTransparency WRITE setAllowTransparency)
    Q_PROPERTY(bool allowMouseOver READ allowMouseOver WRITE setAllowMouseOver)
    Q_PROPERTY(QColor enterColor READ enterColor WRITE setEnterColor)
    Q_PROPERTY(bool enterColorChange READ enterColorChange WRITE setEnterColorChange)

public:
    // The button's states; each has an entry in the face table.
    enum State {
        Up,
        Disabled,
        Hot,             // the mouse is over the button, only with allowMouseOver
        Latched,         // a latched button of a group; never entered by this button
        Held,            // the left mouse button is held down over the face
        Unused,          // never entered
        MenuOpen,        // a drop-down menu is shown; never entered by this button
        DisabledLatched, // never entered by this button
    };
    Q_ENUM(State)

    explicit TLMDMMButton(QWidget* parent = nullptr);
    ~TLMDMMButton() override;
    Q_DISABLE_COPY(TLMDMMButton)

    QString caption() const { return m_caption; }
    void setCaption(const QString& caption);
    // The caption's colour; a change repaints at once.
    QColor captionColor() const { return m_captionColor; }
    void setCaptionColor(const QColor& colour);
    bool useCaption() const { return m_useCaption; }
    void setUseCaption(bool use);
    int captionDown() const { return m_captionDown; }
    void setCaptionDown(int pixels);
    Qt::Alignment captionAlignment() const { return m_captionAlignment; }
    void setCaptionAlignment(Qt::Alignment alignment);
    int offsetX() const { return m_offset.x(); }
    void setOffsetX(int offset);
    int offsetY() const { return m_offset.y(); }
    void setOffsetY(int offset);
    bool multiLine() const { return m_multiLine; }
    void setMultiLine(bool multiLine);
    QColor lightColor() const { return m_lightColor; }
    void setLightColor(const QColor& colour);

    // The list the faces come from; forgotten when the list is destroyed.
    TLMDBitmapList* buttonFaceImageList() const { return m_list; }
    void setButtonFaceImageList(TLMDBitmapList* list);
    FaceFit::Style buttonFaceStyle() const { return m_faceStyle; }
    void setButtonFaceStyle(FaceFit::Style style);
    const FaceTable& buttonFaceTable() const { return m_faces; }
    void setButtonFaceTable(const FaceTable& table);
    QColor buttonFaceTransColor() const { return m_transColor; }
    void setButtonFaceTransColor(const QColor& colour);

    // The stored forms as hexadecimal text; malformed text is ignored with a warning.
    QString buttonFaceIndicesNew2() const;
    void setButtonFaceIndicesNew2(const QString& hex);
    QString buttonFaceTransColNew() const;
    void setButtonFaceTransColNew(const QString& hex);

    bool transparent() const { return m_transparent; }
    void setTransparent(bool transparent);
    bool forceTransparent() const { return m_forceTransparent; }
    void setForceTransparent(bool force);
    QColor color() const { return m_color; }
    void setColor(const QColor& colour);
    bool allowTransparency() const { return m_allowTransparency; }
    void setAllowTransparency(bool allow) { m_allowTransparency = allow; }
    bool allowMouseOver() const { return m_allowMouseOver; }
    void setAllowMouseOver(bool allow);
    QColor enterColor() const { return m_enterColor; }
    void setEnterColor(const QColor& colour);
    bool enterColorChange() const { return m_enterColorChange; }
    void setEnterColorChange(bool change);

    State state() const { return m_state; }
    // The list index of the face shown in a state, after falling back to the up or held face;
    // -1 when there is none.
    int shownFace(State state) const;
    // Where the face was drawn at the last paint; empty when none was drawn.
    QRect faceRect() const { return m_faceRect; }
    // Whether a press at this point, in button coordinates, counts.
    bool hitTest(QPoint position) const;

    QSize sizeHint() const override;

    // Clicks the enabled button as a completed press does, without the mouse. To assistive
    // technology this is the button's Press action.
    void click();

Q_SIGNALS:
    // The click, at the release that completes it.
    void clicked();

protected:
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void setState(State state);
    State restingState(bool mouseOver) const;
    bool fitToFace();
    QImage composite();
    void drawCaption(QPainter& painter) const;
    QColor currentCaptionColor() const;
    // Caption and font changes show at once on a transparent button.
    void refreshCaption();

    QPointer<TLMDBitmapList> m_list;
    FaceTable m_faces;
    FaceFit::Style m_faceStyle = FaceFit::sbNone;
    QColor m_transColor{Qt::white};
    QString m_caption;
    QColor m_captionColor{Qt::black};
    QColor m_lightColor{Qt::white};
    QColor m_color{Qt::white};
    QColor m_enterColor{Qt::white};
    Qt::Alignment m_captionAlignment = Qt::AlignCenter;
    QPoint m_offset;
    QRect m_faceRect;
    int m_captionDown = 1;
    int m_shortcut = 0;
    State m_state = Up;
    bool m_useCaption = true;
    bool m_multiLine = false;
    bool m_transparent = false;
    bool m_forceTransparent = true;
    bool m_allowTransparency = true;
    bool m_allowMouseOver = false;
    bool m_enterColorChange = false;
    bool m_pressedWithMouse = false;
};

} // namespace tolvane
