#include "widgets/Bevel.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPalette>

#include <numeric>

namespace tolvane {

TLMDBevel::TLMDBevel(QObject* parent)
    : QObject(parent)
{
    const QPalette palette = QGuiApplication::palette();
    m_borderColor = palette.color(QPalette::Button);
    m_lightColor = palette.color(QPalette::Light);
    m_shadowColor = palette.color(QPalette::Dark);
}

void TLMDBevel::assign(const TLMDBevel& other)
{
    setMode(other.m_mode);
    setStyleInner(other.m_styleInner);
    setStyleOuter(other.m_styleOuter);
    setWidthInner(other.m_widthInner);
    setWidthOuter(other.m_widthOuter);
    setBorderWidth(other.m_borderWidth);
    setBorderInnerWidth(other.m_borderInnerWidth);
    setBorderSides(other.m_borderSides);
    setEdgeStyle(other.m_edgeStyle);
    setStandardStyle(other.m_standardStyle);
    setBorderColor(other.m_borderColor);
    setLightColor(other.m_lightColor);
    setShadowColor(other.m_shadowColor);
}

std::vector<TLMDBevel::Layer> TLMDBevel::layers() const
{
    const Layer raised{1, m_lightColor, m_shadowColor};
    const Layer lowered{1, m_shadowColor, m_lightColor};
    switch (m_mode) {
    case bmCustom: {
        const auto cut = [&](Cut style, int width) {
            switch (style) {
            case bvNone:
                return Layer{0, {}, {}};
            case bvLowered:
                return Layer{width, m_shadowColor, m_lightColor};
            case bvRaised:
                return Layer{width, m_lightColor, m_shadowColor};
            case bvSpace:
                break;
            }
            return Layer{width, m_borderColor, m_borderColor};
        };
        return {cut(m_styleOuter, m_widthOuter),
                {m_borderWidth, m_borderColor, m_borderColor},
                cut(m_styleInner, m_widthInner),
                {m_borderInnerWidth, m_borderColor, m_borderColor}};
    }
    case bmStandard:
        switch (m_standardStyle) {
        case lsNone:
            return {};
        case lsSingle:
            return {{1, m_shadowColor, m_shadowColor}};
        case lsSingleRaised:
            return {raised};
        case lsSingleLowered:
            return {lowered};
        case lsDoubleRaised:
            return {raised, raised};
        case lsDoubleLowered:
            return {lowered, lowered};
        }
        return {};
    case bmEdge:
        switch (m_edgeStyle) {
        case etEtched:
            return {lowered, raised};
        case etBump:
            return {raised, lowered};
        case etRaised:
            return {raised, raised};
        case etSunken:
            return {lowered, lowered};
        }
        return {};
    case bmWindows:
        // The sunken edge of a window's client area.
        return {lowered, {1, m_shadowColor.darker(), m_borderColor}};
    }
    return {};
}

int TLMDBevel::extent() const
{
    const auto all = layers();
    return std::accumulate(all.begin(), all.end(), 0,
                           [](int sum, const Layer& layer) { return sum + layer.width; });
}

QMargins TLMDBevel::sideMargins(int width) const
{
    return {m_borderSides.testFlag(Qt::LeftEdge) ? width : 0,
            m_borderSides.testFlag(Qt::TopEdge) ? width : 0,
            m_borderSides.testFlag(Qt::RightEdge) ? width : 0,
            m_borderSides.testFlag(Qt::BottomEdge) ? width : 0};
}

QMargins TLMDBevel::margins() const
{
    return sideMargins(extent());
}

QRect TLMDBevel::paint(QPainter& painter, const QRect& rect) const
{
    QRect inner = rect;
    for (const Layer& layer : layers()) {
        if (layer.width <= 0)
            continue;
        const int w = layer.width;
        // Bottom and right first, so the top-left colour owns the shared corners.
        if (m_borderSides.testFlag(Qt::BottomEdge))
            painter.fillRect(inner.left(), inner.bottom() - w + 1, inner.width(), w,
                             layer.bottomRight);
        if (m_borderSides.testFlag(Qt::RightEdge))
            painter.fillRect(inner.right() - w + 1, inner.top(), w, inner.height(),
                             layer.bottomRight);
        if (m_borderSides.testFlag(Qt::TopEdge))
            painter.fillRect(inner.left(), inner.top(), inner.width(), w, layer.topLeft);
        if (m_borderSides.testFlag(Qt::LeftEdge))
            painter.fillRect(inner.left(), inner.top(), w, inner.height(), layer.topLeft);
        inner = inner.marginsRemoved(sideMargins(w));
        if (inner.isEmpty())
            break;
    }
    return inner;
}

} // namespace tolvane
