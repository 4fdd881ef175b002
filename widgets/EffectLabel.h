#pragma once

#include "widgets/Effect3D.h"

#include <QColor>
#include <QLabel>
#include <QPixmap>
#include <QString>

class QPainter;
class QPainterPath;

namespace tolvane {

// A one-line caption drawn centred in its bounds, optionally rotated (scalable fonts only) and
// raised, lowered, outlined, shadowed or filled with a texture. It composes the caption in one
// off-screen image shared by all effect labels and puts it on screen in one copy; a transparent
// label leaves out every pixel of its colour, so only the letters and their shadows show.
//
// Every setting can be given in a Designer form that promotes a QLabel (or QWidget) to
// tolvane::TdxfLabel (header "widgets/EffectLabel.h"):
//   text, font                 the caption; the font starts as "MS Sans Serif", 11 pixels
//   fontColor                  the letters (the palette's text colour, so a style sheet's
//                              "color:" sets it too)
//   color, parentColor         the colour behind the letters; while parentColor is true it is
//                              the parent's background colour. Setting color clears parentColor.
//   transparent                leave the background colour out
//   labelStyle                 dxfNormal, dxfRaised, dxfLowered or dxfOutLine
//   angle                      counter-clockwise degrees, 0..360, scalable fonts only
//   effect3DStyle, effect3DOrientation, effect3DDepth, effect3DShadowedColor
//                              the shadow, see Tdxf3DEffect
//   glyph                      a texture that fills the letters (scalable fonts only)
//   penWidth                   the outline width of dxfOutLine
//   autoSize                   size the label to its caption
class TdxfLabel : public QLabel {
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText)
    Q_PROPERTY(QColor fontColor READ fontColor WRITE setFontColor)
    Q_PROPERTY(QColor color READ color WRITE setColor)
    Q_PROPERTY(bool parentColor READ parentColor WRITE setParentColor)
    Q_PROPERTY(bool transparent READ transparent WRITE setTransparent)
    Q_PROPERTY(LabelStyle labelStyle READ labelStyle WRITE setLabelStyle)
    Q_PROPERTY(int angle READ angle WRITE setAngle)
    Q_PROPERTY(
        tolvane::Tdxf3DEffect::EffectStyle effect3DStyle READ effect3DStyle WRITE setEffect3DStyle)
    Q_PROPERTY(tolvane::Tdxf3DEffect::Orientation effect3DOrientation READ effect3DOrientation WRITE
                   setEffect3DOrientation)
    Q_PROPERTY(int effect3DDepth READ effect3DDepth WRITE setEffect3DDepth)
    Q_PROPERTY(
        QColor effect3DShadowedColor READ effect3DShadowedColor WRITE setEffect3DShadowedColor)
    Q_PROPERTY(QPixmap glyph READ glyph WRITE setGlyph)
    Q_PROPERTY(int penWidth READ penWidth WRITE setPenWidth)
    Q_PROPERTY(bool autoSize READ autoSize WRITE setAutoSize)

public:
    // dxfRaised: a highlight above left and the text one pixel down right (with a shadow below
    // it from 12 points up). dxfLowered: a highlight below right and the text in shadow one
    // pixel down right; it makes the label take its parent's colour. dxfOutLine: the letters'
    // outline with a pen penWidth wide, for scalable fonts; other fonts draw as dxfNormal.
    enum LabelStyle { dxfNormal, dxfRaised, dxfLowered, dxfOutLine };
    Q_ENUM(LabelStyle)

    explicit TdxfLabel(QWidget* parent = nullptr);
    explicit TdxfLabel(const QString& text, QWidget* parent = nullptr);
    Q_DISABLE_COPY(TdxfLabel)

    QString text() const { return QLabel::text(); }
    void setText(const QString& text);

    QColor fontColor() const;
    void setFontColor(const QColor& color);
    // The resolved background colour.
    QColor color() const;
    void setColor(const QColor& color);
    bool parentColor() const { return m_parentColor; }
    void setParentColor(bool parentColor);
    // True while the colour comes from a palette nobody set, as the system's button face does.
    bool isSystemColor() const;
    bool transparent() const { return m_transparent; }
    void setTransparent(bool transparent);

    LabelStyle labelStyle() const { return m_labelStyle; }
    void setLabelStyle(LabelStyle style);

    int angle() const { return m_angle; }
    // Values outside 0..360 are ignored. A non-zero angle on a font that is not scalable keeps
    // the angle and shows "The Angle property is applicable for the TrueType fonts only"
    // through the error dispatch, with the error beep; this is also how a form that sets it
    // in setupUi reports it, and the rest of the form is still built.
    void setAngle(int angle);
    // Whether the font can be rotated, textured and outlined.
    bool isTrueType() const;

    Tdxf3DEffect effect3D() const { return m_effect3D; }
    void setEffect3D(const Tdxf3DEffect& effect);
    Tdxf3DEffect::EffectStyle effect3DStyle() const { return m_effect3D.style; }
    void setEffect3DStyle(Tdxf3DEffect::EffectStyle style);
    Tdxf3DEffect::Orientation effect3DOrientation() const { return m_effect3D.orientation; }
    void setEffect3DOrientation(Tdxf3DEffect::Orientation orientation);
    int effect3DDepth() const { return m_effect3D.depth; }
    void setEffect3DDepth(int depth); // clamped to 0..65535
    QColor effect3DShadowedColor() const { return m_effect3D.shadowedColor; }
    void setEffect3DShadowedColor(const QColor& color);

    QPixmap glyph() const { return m_glyph; }
    void setGlyph(const QPixmap& glyph);
    int penWidth() const { return m_penWidth; }
    void setPenWidth(int width);
    bool autoSize() const { return m_autoSize; }
    void setAutoSize(bool autoSize);

    // Where the caption's cell starts: the cell of the caption, turned by the angle, centred.
    QPoint textOrigin() const;

    // The size of the image that every effect label composes in; it only grows.
    static QSize sharedBitmapSize();

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    int drawnAngle() const;
    QFont drawingFont() const;
    void compose(QPainter& painter) const;
    void drawCaption(QPainter& painter, QPoint origin, const QColor& color) const;
    QPainterPath captionPath(QPoint origin) const;
    void setEffect(const Tdxf3DEffect& effect);
    void fitToText();

    QColor m_color;
    bool m_parentColor = true;
    bool m_transparent = false;
    LabelStyle m_labelStyle = dxfNormal;
    int m_angle = 0;
    Tdxf3DEffect m_effect3D;
    QPixmap m_glyph;
    int m_penWidth = 1;
    bool m_autoSize = false;
};

} // namespace tolvane
