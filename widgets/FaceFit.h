#pragma once

#include <QMetaType>
#include <QRect>
#include <QSize>

namespace tolvane {

// How a button face is fitted into the button.
class FaceFit {
    Q_GADGET

public:
    enum Style {
        sbNone,         // unscaled, at the top-left corner
        sbAutosize,     // the button takes the face's size; the face is drawn unscaled
        sbCenter,       // unscaled, centred
        sbStretch,      // stretched over the whole area
        sbTile,         // repeated from the top-left corner until the area is covered
        sbKeepAspRatio, // as large as fits with the face's proportions, at the top-left corner
        sbKeepWidth,    // the area's height, the width in the face's proportion
        sbKeepHeight,   // the area's width, the height in the face's proportion
    };
    Q_ENUM(Style)

    // The rectangle that a face of the given size covers in an area of the given size, relative
    // to the area's top-left corner; empty for an empty face. Scaled sizes are computed exactly,
    // truncated for sbKeepAspRatio and rounded half to even for sbKeepWidth and sbKeepHeight.
    static QRect faceRect(Style style, QSize face, QSize area);
};

} // namespace tolvane
