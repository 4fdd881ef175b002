#pragma once

#include <QLabel>
#include <QWidget>

namespace tolvane {

// A window's status bar: a row of panels along the bottom edge, which assistive technology
// finds as the window's status bar.
class TStatusBar : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY(TStatusBar)

public:
    explicit TStatusBar(QWidget* parent = nullptr);
};

// One text panel of a status bar. An announcing panel tells what has just begun: to assistive
// technology it is the status bar's notification, whose text a screen reader speaks once at
// every announce(), without the focus moving there.
class TStatusPanel : public QLabel {
    Q_OBJECT
    Q_DISABLE_COPY(TStatusPanel)
    Q_PROPERTY(bool announcing READ announcing WRITE setAnnouncing)

public:
    explicit TStatusPanel(QWidget* parent = nullptr);

    bool announcing() const { return m_announcing; }
    void setAnnouncing(bool announcing) { m_announcing = announcing; }

    // Has the text shown spoken once; nothing when the panel is empty or does not announce.
    void announce();

private:
    bool m_announcing = false;
};

} // namespace tolvane
