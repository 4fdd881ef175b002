#include "widgets/Accessible.h"

#include "widgets/ImageButton.h"
#include "widgets/LedLabel.h"
#include "widgets/StatusBar.h"

#include <QAccessibleWidget>

#include <algorithm>

namespace tolvane {

namespace {

// One line of text that no one edits, as a screen reader reads it: the characters shown, no caret
// and no selection. The characters share the widget's width evenly, as LED cells do.
class ShownTextAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    using QAccessibleWidget::QAccessibleWidget;

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        return state;
    }

    QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Value ? shown() : QAccessibleWidget::text(kind);
    }

    QString text(int start, int end) const override { return shown().mid(start, end - start); }
    int characterCount() const override { return int(shown().size()); }
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    void scrollToSubstring(int, int) override {}

    QString attributes(int, int* start, int* end) const override
    {
        *start = 0;
        *end = characterCount();
        return {};
    }

    QRect characterRect(int offset) const override
    {
        const QRect area = rect();
        const int count = std::max(characterCount(), 1);
        return {area.left() + area.width() * offset / count, area.top(), area.width() / count,
                area.height()};
    }

    int offsetAtPoint(const QPoint& point) const override
    {
        const QRect area = rect();
        if (!area.contains(point))
            return -1;
        return std::min((point.x() - area.left()) * characterCount() / area.width(),
                        characterCount() - 1);
    }

protected:
    virtual QString shown() const = 0;
};

// An LED display reads as read-only text: named by its caption label (or its own accessible
// name), its value what its cells show. It sends no event when its text changes: a display that
// counts seconds would have them spoken, or flood the screen reader's queue.
class LedLabelAccessible : public ShownTextAccessible {
public:
    explicit LedLabelAccessible(TLMDLEDLabel* label)
        : ShownTextAccessible(label, QAccessible::EditableText)
    {
    }

private:
    QString shown() const override { return static_cast<TLMDLEDLabel*>(widget())->displayedText(); }
};

// A status panel is named by its text; an announcing one is the status bar's notification.
class StatusPanelAccessible : public ShownTextAccessible {
public:
    explicit StatusPanelAccessible(TStatusPanel* panel)
        : ShownTextAccessible(panel)
    {
    }

    QAccessible::Role role() const override
    {
        return panel()->announcing() ? QAccessible::Notification : QAccessible::StaticText;
    }

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Name && panel()->accessibleName().isEmpty())
            return shown();
        return ShownTextAccessible::text(kind);
    }
    using ShownTextAccessible::text;

private:
    TStatusPanel* panel() const { return static_cast<TStatusPanel*>(widget()); }
    QString shown() const override { return panel()->text(); }
};

// An image button is a push button with a Press action. A press through assistive technology
// clicks on the next pass of the event loop, so that the caller's request is answered at once
// even when the click opens a modal dialog.
class ImageButtonAccessible : public QAccessibleWidget {
public:
    explicit ImageButtonAccessible(TLMDMMButton* button)
        : QAccessibleWidget(button, QAccessible::Button)
    {
    }

    QStringList actionNames() const override
    {
        QStringList names = QAccessibleWidget::actionNames();
        if (widget()->isEnabled())
            names.prepend(pressAction());
        return names;
    }

    void doAction(const QString& name) override
    {
        auto* button = static_cast<TLMDMMButton*>(widget());
        if (name == pressAction())
            QMetaObject::invokeMethod(button, &TLMDMMButton::click, Qt::QueuedConnection);
        else
            QAccessibleWidget::doAction(name);
    }
};

QAccessibleInterface* accessibleInterface(const QString& className, QObject* object)
{
    if (className == u"tolvane::TLMDLEDLabel")
        return new LedLabelAccessible(static_cast<TLMDLEDLabel*>(object));
    if (className == u"tolvane::TStatusPanel")
        return new StatusPanelAccessible(static_cast<TStatusPanel*>(object));
    if (className == u"tolvane::TLMDMMButton")
        return new ImageButtonAccessible(static_cast<TLMDMMButton*>(object));
    if (className == u"tolvane::TStatusBar")
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::StatusBar);
    // An owned window built on a bare QWidget (a help or log window) would otherwise be a filler.
    if (className != u"QWidget")
        return nullptr;
    auto* window = static_cast<QWidget*>(object);
    if (window->isWindow() && window->parentWidget())
        return new QAccessibleWidget(window, QAccessible::Window);
    return nullptr;
}

} // namespace

void useAccessibleInterfaces()
{
    [[maybe_unused]] static const bool installed = [] {
        QAccessible::installFactory(accessibleInterface);
        return true;
    }();
}

} // namespace tolvane
