#pragma once

#include <QStringList>
#include <QWidget>

class QKeyEvent;
class QTextBrowser;
class QTreeWidget;
class QTreeWidgetItem;

namespace tolvane::platform {

// A help window: the help file's headings as a list of topics beside the rendered text. Help files
// are Markdown; level 1 and level 2 headings make the topics. A file that cannot be shown is
// reported inside the window, never in a box of its own.
class HelpViewer : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY(HelpViewer)

public:
    // A top-level window owned by owner and titled after it ("Tolvane Help"): it stays above it
    // without blocking it, and it is destroyed when it closes.
    HelpViewer(QWidget* owner, const QString& filePath);

    const QString& filePath() const { return m_filePath; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void load();
    void showMessage(const QString& message);
    void fillTopics();
    void showTopic(QTreeWidgetItem* item);

    QString m_filePath;
    QTreeWidget* m_topics;
    QTextBrowser* m_text;
};

// The Help Topics display (WinHelp's HELP_FINDER): opens a viewer on the help file, owned by
// owner, or raises the one that owner already shows for that file. A bare file name is looked
// for with locateDataFile(). Returns the viewer; it never blocks and never waits for it.
HelpViewer* showHelpContents(QWidget* owner, const QString& fileName);

} // namespace tolvane::platform
