#pragma once

#include <QColor>
#include <QMetaType>
#include <QPoint>

#include <vector>

namespace tolvane {

// The shadow settings of an effect label, and where and in which colours its copies of the text
// go. A depth of 0 means no shadow.
struct Tdxf3DEffect {
    Q_GADGET

public:
    // dxfCool: one copy at the full offset. dxfExtrude: a copy at every distance from the full
    // offset in to one pixel. dxfFun: the same, in a ramp from the shadow colour (nearest) to
    // the label's colour (farthest).
    enum EffectStyle { dxfFun, dxfExtrude, dxfCool };
    Q_ENUM(EffectStyle)
    // The direction the shadow falls in.
    enum Orientation {
        dxfLeft,
        dxfRight,
        dxfTop,
        dxfBottom,
        dxfLeftTop,
        dxfLeftBottom,
        dxfRightTop,
        dxfRightBottom
    };
    Q_ENUM(Orientation)

    // One copy of the text: where it goes relative to the text and its colour.
    struct Copy {
        QPoint offset;
        QColor color;

        friend bool operator==(const Copy&, const Copy&) = default;
    };

    EffectStyle style = dxfCool;
    Orientation orientation = dxfRightBottom;
    quint16 depth = 0;
    QColor shadowedColor{128, 128, 128};

    // The full offset of the shadow: depth pixels in the orientation's direction.
    QPoint offset() const;

    // The copies in drawing order, farthest first. labelColor is the colour the fun ramp fades
    // to; a label whose colour follows the system palette fades to silver instead.
    std::vector<Copy> copies(const QColor& labelColor, bool systemColor) const;

    friend bool operator==(const Tdxf3DEffect&, const Tdxf3DEffect&) = default;
};

} // namespace tolvane
