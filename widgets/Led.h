#pragma once

#include "widgets/LedSegments.h"

#include <QColor>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QPoint>
#include <QString>

#include <array>
#include <optional>

class QPainter;

namespace tolvane {

// The LED options of one label: segment sizes and colours, the segment table built from them,
// and the cached image of an unlit cell. It measures and draws texts as rows of cells.
class TLMDLED : public QObject {
    Q_OBJECT
    Q_PROPERTY(int horzSize READ horzSize WRITE setHorzSize NOTIFY changed)
    Q_PROPERTY(int vertSize READ vertSize WRITE setVertSize NOTIFY changed)
    Q_PROPERTY(int thickness READ thickness WRITE setThickness NOTIFY changed)
    Q_PROPERTY(QColor activeColor READ activeColor WRITE setActiveColor NOTIFY changed)
    Q_PROPERTY(QColor inActiveColor READ inActiveColor WRITE setInActiveColor NOTIFY changed)
    Q_PROPERTY(bool disabledDigits READ disabledDigits WRITE setDisabledDigits NOTIFY changed)

public:
    explicit TLMDLED(QObject* parent = nullptr);
    Q_DISABLE_COPY(TLMDLED)

    // Sizes are bytes; values outside 0..255 are clamped.
    int horzSize() const { return m_geometry.horzSize; }
    void setHorzSize(int size);
    int vertSize() const { return m_geometry.vertSize; }
    void setVertSize(int size);
    int thickness() const { return m_geometry.thickness; }
    void setThickness(int thickness);
    QColor activeColor() const { return m_activeColor; }
    void setActiveColor(const QColor& color);
    QColor inActiveColor() const { return m_inActiveColor; }
    void setInActiveColor(const QColor& color);
    // When true, a disabled label shows ghost segments only.
    bool disabledDigits() const { return m_disabledDigits; }
    void setDisabledDigits(bool disabled);

    // The colour between the segments; the owning label keeps it equal to its own colour.
    QColor backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(const QColor& color);

    // Copies the six settings above from another LED, with one rebuild and one notice.
    void assign(const TLMDLED& other);

    // Blinking hides the lit segments on every other drawing pass.
    void startBlink();
    bool blinks() const { return m_blink; }
    void stopBlink();

    QSize cellSize() const { return m_geometry.cellSize(); }
    // One cell with every built segment unlit, in the current colours.
    const QImage& cellImage();
    // One cell with the segments of the mask lit over the unlit ones.
    const QImage& litCellImage(quint16 mask);

    // Runs the text through the cells without drawing; lineCount() and columnCount() tell the
    // size it needs.
    void measure(const QString& text);
    // Draws the text with its first cell at the origin. A disabled label lights no segments
    // while disabledDigits() is true.
    void draw(const QString& text, QPainter& painter, QPoint origin, bool enabled);

    int lineCount() const { return m_lineCount; }
    int columnCount() const { return m_columnCount; }
    // The text of the last pass.
    QString text() const { return m_text; }

    // The 8 x 8 pattern of ghost segments: a pixel whose x + y is even takes the unlit colour,
    // the others the background. One image serves every label; it is rebuilt only when asked
    // for another colour pair than the last one.
    static const QImage& unlitPattern(const QColor& unlit, const QColor& background);

Q_SIGNALS:
    // Something that changes the label's look or size changed.
    void changed();

private:
    void pass(const QString& text, QPainter* painter, QPoint origin, bool enabled);
    void setSize(int LedGeometry::*size, int value);
    void setColorField(QColor TLMDLED::*field, const QColor& value);
    void rebuild();

    LedGeometry m_geometry;
    QColor m_activeColor{0, 255, 0};
    QColor m_inActiveColor{0, 128, 0};
    QColor m_backgroundColor{Qt::black};
    bool m_disabledDigits = true;
    bool m_blink = false;
    bool m_blinkPhase = false;
    int m_lineCount = 1;
    int m_columnCount = 1;
    QString m_text;
    std::array<std::optional<QPolygon>, ledSegmentCount> m_segments;
    QImage m_cellImage;
    // Drawn once for each character shown: a display repaints the same few every second.
    QHash<quint16, QImage> m_litCells;
};

} // namespace tolvane
