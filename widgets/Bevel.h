#pragma once

#include <QColor>
#include <QMargins>
#include <QObject>
#include <QRect>

#include <vector>

class QPainter;

namespace tolvane {

// The border drawn around a label's content. The default, a custom bevel without cuts or
// border widths, takes no pixels and draws nothing.
class TLMDBevel : public QObject {
    Q_OBJECT
    Q_PROPERTY(Mode mode READ mode WRITE setMode NOTIFY changed)
    Q_PROPERTY(Cut styleInner READ styleInner WRITE setStyleInner NOTIFY changed)
    Q_PROPERTY(Cut styleOuter READ styleOuter WRITE setStyleOuter NOTIFY changed)
    Q_PROPERTY(int widthInner READ widthInner WRITE setWidthInner NOTIFY changed)
    Q_PROPERTY(int widthOuter READ widthOuter WRITE setWidthOuter NOTIFY changed)
    Q_PROPERTY(int borderWidth READ borderWidth WRITE setBorderWidth NOTIFY changed)
    Q_PROPERTY(int borderInnerWidth READ borderInnerWidth WRITE setBorderInnerWidth NOTIFY changed)
    Q_PROPERTY(Qt::Edges borderSides READ borderSides WRITE setBorderSides NOTIFY changed)
    Q_PROPERTY(EdgeStyle edgeStyle READ edgeStyle WRITE setEdgeStyle NOTIFY changed)
    Q_PROPERTY(StandardStyle standardStyle READ standardStyle WRITE setStandardStyle NOTIFY changed)
    Q_PROPERTY(QColor borderColor READ borderColor WRITE setBorderColor NOTIFY changed)
    Q_PROPERTY(QColor lightColor READ lightColor WRITE setLightColor NOTIFY changed)
    Q_PROPERTY(QColor shadowColor READ shadowColor WRITE setShadowColor NOTIFY changed)

public:
    // Custom combines the cuts and widths below; the others are fixed looks chosen by one style.
    enum Mode { bmCustom, bmStandard, bmEdge, bmWindows };
    Q_ENUM(Mode)
    enum Cut { bvNone, bvLowered, bvRaised, bvSpace };
    Q_ENUM(Cut)
    enum EdgeStyle { etEtched, etBump, etRaised, etSunken };
    Q_ENUM(EdgeStyle)
    enum StandardStyle {
        lsNone,
        lsSingle,
        lsSingleRaised,
        lsSingleLowered,
        lsDoubleRaised,
        lsDoubleLowered
    };
    Q_ENUM(StandardStyle)

    explicit TLMDBevel(QObject* parent = nullptr);
    Q_DISABLE_COPY(TLMDBevel)

    Mode mode() const { return m_mode; }
    void setMode(Mode mode) { set(m_mode, mode); }
    Cut styleInner() const { return m_styleInner; }
    void setStyleInner(Cut cut) { set(m_styleInner, cut); }
    Cut styleOuter() const { return m_styleOuter; }
    void setStyleOuter(Cut cut) { set(m_styleOuter, cut); }
    int widthInner() const { return m_widthInner; }
    void setWidthInner(int width) { setWidth(m_widthInner, width); }
    int widthOuter() const { return m_widthOuter; }
    void setWidthOuter(int width) { setWidth(m_widthOuter, width); }
    int borderWidth() const { return m_borderWidth; }
    void setBorderWidth(int width) { setWidth(m_borderWidth, width); }
    int borderInnerWidth() const { return m_borderInnerWidth; }
    void setBorderInnerWidth(int width) { setWidth(m_borderInnerWidth, width); }
    Qt::Edges borderSides() const { return m_borderSides; }
    void setBorderSides(Qt::Edges sides) { set(m_borderSides, sides); }
    EdgeStyle edgeStyle() const { return m_edgeStyle; }
    void setEdgeStyle(EdgeStyle style) { set(m_edgeStyle, style); }
    StandardStyle standardStyle() const { return m_standardStyle; }
    void setStandardStyle(StandardStyle style) { set(m_standardStyle, style); }
    QColor borderColor() const { return m_borderColor; }
    void setBorderColor(const QColor& color) { set(m_borderColor, color); }
    QColor lightColor() const { return m_lightColor; }
    void setLightColor(const QColor& color) { set(m_lightColor, color); }
    QColor shadowColor() const { return m_shadowColor; }
    void setShadowColor(const QColor& color) { set(m_shadowColor, color); }

    // Copies every setting from another bevel.
    void assign(const TLMDBevel& other);

    // The pixels the border takes from a side it is drawn on.
    int extent() const;
    QMargins margins() const;
    // Draws the border inside the rectangle and returns what is left for the content.
    QRect paint(QPainter& painter, const QRect& rect) const;

Q_SIGNALS:
    void changed();

private:
    struct Layer {
        int width;
        QColor topLeft;
        QColor bottomRight;
    };
    std::vector<Layer> layers() const;
    QMargins sideMargins(int width) const;

    template <typename T> void set(T& field, const T& value)
    {
        if (field == value)
            return;
        field = value;
        Q_EMIT changed();
    }
    void setWidth(int& field, int width) { set(field, qBound(0, width, 255)); }

    Mode m_mode = bmCustom;
    Cut m_styleInner = bvNone;
    Cut m_styleOuter = bvNone;
    int m_widthInner = 1;
    int m_widthOuter = 1;
    int m_borderWidth = 0;
    int m_borderInnerWidth = 0;
    Qt::Edges m_borderSides = Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge | Qt::BottomEdge;
    EdgeStyle m_edgeStyle = etEtched;
    StandardStyle m_standardStyle = lsSingleLowered;
    QColor m_borderColor;
    QColor m_lightColor;
    QColor m_shadowColor;
};

} // namespace tolvane
