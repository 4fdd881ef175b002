#pragma once

#include "widgets/Bevel.h"
#include "widgets/Led.h"

#include <QColor>
#include <QString>
#include <QWidget>

namespace tolvane {

// A label that shows its text as a row of sixteen-segment LED cells, one cell per character,
// with the unused segments of every cell visible as dimmed ghosts. A carriage return starts a
// new row of cells; other control characters take no cell. To assistive technology it is
// read-only text named by its caption (a QLabel whose buddy it is) or its accessible name. A form
// that makes it a Tab stop lets the keyboard reach it; the style frames it while it has the focus.
//
// Every setting can be given in a Designer form that promotes a QWidget to
// tolvane::TLMDLEDLabel (header "widgets/LedLabel.h"):
//   text                  the caption shown and read back unchanged
//   autoSize              size the label to its text (the left and top stay)
//   color                 background of the cells and key colour of a transparent label
//   digits, labelStyle, value
//                         lsInteger shows value left-padded with zeros to digits characters,
//                         or digits minus signs when it does not fit
//   transparent           pixels of color are not drawn, the parent shows through
//   ledHorzSize, ledVertSize, ledThickness, activeColor, inActiveColor, disabledDigits
//                         the LED settings, see TLMDLED
//   bevelMode ... bevelShadowColor
//                         the border settings, see TLMDBevel
class TLMDLEDLabel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText)
    Q_PROPERTY(bool autoSize READ autoSize WRITE setAutoSize)
    Q_PROPERTY(QColor color READ color WRITE setColor)
    Q_PROPERTY(int digits READ digits WRITE setDigits)
    Q_PROPERTY(LabelStyle labelStyle READ labelStyle WRITE setLabelStyle)
    Q_PROPERTY(int value READ value WRITE setValue)
    Q_PROPERTY(bool transparent READ transparent WRITE setTransparent)
    Q_PROPERTY(tolvane::TLMDLED* led READ led CONSTANT)
    Q_PROPERTY(tolvane::TLMDBevel* bevel READ bevel CONSTANT)

    Q_PROPERTY(int ledHorzSize READ ledHorzSize WRITE setLedHorzSize)
    Q_PROPERTY(int ledVertSize READ ledVertSize WRITE setLedVertSize)
    Q_PROPERTY(int ledThickness READ ledThickness WRITE setLedThickness)
    Q_PROPERTY(QColor activeColor READ activeColor WRITE setActiveColor)
    Q_PROPERTY(QColor inActiveColor READ inActiveColor WRITE setInActiveColor)
    Q_PROPERTY(bool disabledDigits READ disabledDigits WRITE setDisabledDigits)

    Q_PROPERTY(tolvane::TLMDBevel::Mode bevelMode READ bevelMode WRITE setBevelMode)
    Q_PROPERTY(
        tolvane::TLMDBevel::Cut bevelStyleInner READ bevelStyleInner WRITE setBevelStyleInner)
    Q_PROPERTY(
        tolvane::TLMDBevel::Cut bevelStyleOuter READ bevelStyleOuter WRITE setBevelStyleOuter)
    Q_PROPERTY(int bevelWidthInner READ bevelWidthInner WRITE setBevelWidthInner)
    Q_PROPERTY(int bevelWidthOuter READ bevelWidthOuter WRITE setBevelWidthOuter)
    Q_PROPERTY(int bevelBorderWidth READ bevelBorderWidth WRITE setBevelBorderWidth)
    Q_PROPERTY(int bevelBorderInnerWidth READ bevelBorderInnerWidth WRITE setBevelBorderInnerWidth)
    Q_PROPERTY(Qt::Edges bevelBorderSides READ bevelBorderSides WRITE setBevelBorderSides)
    Q_PROPERTY(
        tolvane::TLMDBevel::EdgeStyle bevelEdgeStyle READ bevelEdgeStyle WRITE setBevelEdgeStyle)
    Q_PROPERTY(tolvane::TLMDBevel::StandardStyle bevelStandardStyle READ bevelStandardStyle WRITE
                   setBevelStandardStyle)
    Q_PROPERTY(QColor bevelBorderColor READ bevelBorderColor WRITE setBevelBorderColor)
    Q_PROPERTY(QColor bevelLightColor READ bevelLightColor WRITE setBevelLightColor)
    Q_PROPERTY(QColor bevelShadowColor READ bevelShadowColor WRITE setBevelShadowColor)

public:
    enum LabelStyle { lsString, lsInteger };
    Q_ENUM(LabelStyle)

    explicit TLMDLEDLabel(QWidget* parent = nullptr);
    Q_DISABLE_COPY(TLMDLEDLabel)

    // Replaces the text and repaints at once, only when the text differs.
    QString text() const { return m_text; }
    void setText(const QString& text);
    bool autoSize() const { return m_autoSize; }
    void setAutoSize(bool autoSize);
    QColor color() const { return m_color; }
    void setColor(const QColor& color);
    int digits() const { return m_digits; }
    void setDigits(int digits); // 0 is ignored, larger values are clamped to 255
    LabelStyle labelStyle() const { return m_labelStyle; }
    void setLabelStyle(LabelStyle style);
    int value() const { return m_value; }
    void setValue(int value);
    bool transparent() const { return m_transparent; }
    void setTransparent(bool transparent);

    TLMDLED* led() const { return m_led; }
    void setLed(const TLMDLED& led) { m_led->assign(led); }
    TLMDBevel* bevel() const { return m_bevel; }
    void setBevel(const TLMDBevel& bevel) { m_bevel->assign(bevel); }

    // What the cells show: the text, or the formatted value in the integer style.
    QString displayedText() const;

    QSize sizeHint() const override;

    int ledHorzSize() const { return m_led->horzSize(); }
    void setLedHorzSize(int size) { m_led->setHorzSize(size); }
    int ledVertSize() const { return m_led->vertSize(); }
    void setLedVertSize(int size) { m_led->setVertSize(size); }
    int ledThickness() const { return m_led->thickness(); }
    void setLedThickness(int thickness) { m_led->setThickness(thickness); }
    QColor activeColor() const { return m_led->activeColor(); }
    void setActiveColor(const QColor& color) { m_led->setActiveColor(color); }
    QColor inActiveColor() const { return m_led->inActiveColor(); }
    void setInActiveColor(const QColor& color) { m_led->setInActiveColor(color); }
    bool disabledDigits() const { return m_led->disabledDigits(); }
    void setDisabledDigits(bool disabled) { m_led->setDisabledDigits(disabled); }

    TLMDBevel::Mode bevelMode() const { return m_bevel->mode(); }
    void setBevelMode(TLMDBevel::Mode mode) { m_bevel->setMode(mode); }
    TLMDBevel::Cut bevelStyleInner() const { return m_bevel->styleInner(); }
    void setBevelStyleInner(TLMDBevel::Cut cut) { m_bevel->setStyleInner(cut); }
    TLMDBevel::Cut bevelStyleOuter() const { return m_bevel->styleOuter(); }
    void setBevelStyleOuter(TLMDBevel::Cut cut) { m_bevel->setStyleOuter(cut); }
    int bevelWidthInner() const { return m_bevel->widthInner(); }
    void setBevelWidthInner(int width) { m_bevel->setWidthInner(width); }
    int bevelWidthOuter() const { return m_bevel->widthOuter(); }
    void setBevelWidthOuter(int width) { m_bevel->setWidthOuter(width); }
    int bevelBorderWidth() const { return m_bevel->borderWidth(); }
    void setBevelBorderWidth(int width) { m_bevel->setBorderWidth(width); }
    int bevelBorderInnerWidth() const { return m_bevel->borderInnerWidth(); }
    void setBevelBorderInnerWidth(int width) { m_bevel->setBorderInnerWidth(width); }
    Qt::Edges bevelBorderSides() const { return m_bevel->borderSides(); }
    void setBevelBorderSides(Qt::Edges sides) { m_bevel->setBorderSides(sides); }
    TLMDBevel::EdgeStyle bevelEdgeStyle() const { return m_bevel->edgeStyle(); }
    void setBevelEdgeStyle(TLMDBevel::EdgeStyle style) { m_bevel->setEdgeStyle(style); }
    TLMDBevel::StandardStyle bevelStandardStyle() const { return m_bevel->standardStyle(); }
    void setBevelStandardStyle(TLMDBevel::StandardStyle style) { m_bevel->setStandardStyle(style); }
    QColor bevelBorderColor() const { return m_bevel->borderColor(); }
    void setBevelBorderColor(const QColor& color) { m_bevel->setBorderColor(color); }
    QColor bevelLightColor() const { return m_bevel->lightColor(); }
    void setBevelLightColor(const QColor& color) { m_bevel->setLightColor(color); }
    QColor bevelShadowColor() const { return m_bevel->shadowColor(); }
    void setBevelShadowColor(const QColor& color) { m_bevel->setShadowColor(color); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QSize contentSize() const;
    void refresh();
    void paintNow();
    bool repaintChangedCells(const QString& before);

    TLMDLED* m_led;
    TLMDBevel* m_bevel;
    QString m_text;
    QColor m_color{Qt::black};
    LabelStyle m_labelStyle = lsString;
    int m_digits = 2;
    int m_value = 0;
    bool m_autoSize = false;
    bool m_transparent = false;
};

} // namespace tolvane
