#include "platform/HelpViewer.h"

#include "platform/DataFiles.h"
#include "platform/WindowFrame.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLocale>
#include <QScrollBar>
#include <QSplitter>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTreeWidget>

namespace tolvane::platform {

namespace {

// A user guide is some tens of kilobytes; anything far larger is not a help file.
constexpr qint64 maxHelpFileSize = 1024 * 1024;
constexpr QSize defaultViewerSize(640, 480);
constexpr int defaultTopicsWidth = 210;
constexpr int topicPositionRole = Qt::UserRole;
constexpr int listedHeadingLevels = 2;

} // namespace

HelpViewer::HelpViewer(QWidget* owner, const QString& filePath)
    : QWidget(owner, Qt::Window)
    , m_filePath(filePath)
    , m_topics(new QTreeWidget)
    , m_text(new QTextBrowser)
{
    setAttribute(Qt::WA_DeleteOnClose);
    // Named as a person asks for it, after the program whose help it is, not after its file.
    setWindowTitle(owner && !owner->windowTitle().isEmpty()
                       ? tr("%1 Help").arg(owner->windowTitle())
                       : tr("Help"));
    resize(defaultViewerSize);

    m_topics->setObjectName(QStringLiteral("topics"));
    m_topics->setAccessibleName(tr("Topics"));
    m_topics->setHeaderHidden(true);
    m_text->setObjectName(QStringLiteral("text"));
    m_text->setAccessibleName(tr("Help text"));
    // A help file is read, not browsed: a link never replaces the guide.
    m_text->setOpenLinks(false);

    auto* splitter = new QSplitter(Qt::Horizontal);
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(m_topics);
    splitter->addWidget(m_text);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({defaultTopicsWidth, defaultViewerSize.width() - defaultTopicsWidth});
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);

    connect(m_topics, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { showTopic(current); });
    connect(m_topics, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { showTopic(item); });

    load();
    setFocusProxy(m_topics->isHidden() ? static_cast<QWidget*>(m_text) : m_topics);
}

void HelpViewer::keyPressEvent(QKeyEvent* event)
{
    // Esc reaches the window when neither the topics nor the text take it, as in a dialog.
    if (event->matches(QKeySequence::Cancel))
        close();
    else
        QWidget::keyPressEvent(event);
}

void HelpViewer::load()
{
    const QFileInfo info(m_filePath);
    const QString name = info.fileName();
    if (!info.exists()) {
        QString message = tr("The help file \"%1\" was not found.").arg(name);
        // A bare name is still bare here only when no folder held it.
        if (!m_filePath.contains(u'/'))
            message += tr("\n\nIt was looked for in:\n") + dataFileDirectories().join(u'\n');
        showMessage(message);
        return;
    }
    if (info.size() > maxHelpFileSize) {
        showMessage(tr("The help file \"%1\" is too large to show (%2; at most %3).")
                        .arg(name, QLocale().formattedDataSize(info.size()),
                             QLocale().formattedDataSize(maxHelpFileSize)));
        return;
    }
    QFile file(m_filePath);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly)) {
        showMessage(tr("The help file \"%1\" cannot be read: %2.")
                        .arg(name, info.isFile() ? file.errorString() : tr("it is not a file")));
        return;
    }
    // The size can change between the check and the read; never take in more than the limit.
    const QByteArray bytes = file.read(maxHelpFileSize + 1);
    if (bytes.size() > maxHelpFileSize) {
        showMessage(tr("The help file \"%1\" is too large to show.").arg(name));
        return;
    }
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(bytes);
    // A compiled help file from another system is binary; showing it would only show noise.
    if (decoder.hasError() || text.contains(QChar::Null)) {
        showMessage(
            tr("The help file \"%1\" is not a text help file that can be shown here.").arg(name));
        return;
    }
    m_text->setMarkdown(text);
    fillTopics();
}

void HelpViewer::showMessage(const QString& message)
{
    m_topics->clear();
    m_topics->hide();
    m_text->setPlainText(message);
}

void HelpViewer::fillTopics()
{
    QTreeWidgetItem* chapter = nullptr;
    for (QTextBlock block = m_text->document()->begin(); block.isValid(); block = block.next()) {
        const int level = block.blockFormat().headingLevel();
        if (level < 1 || level > listedHeadingLevels || block.text().trimmed().isEmpty())
            continue;
        QTreeWidgetItem* item = nullptr;
        if (level == 1 || !chapter) {
            item = new QTreeWidgetItem(m_topics);
            if (level == 1)
                chapter = item;
        } else {
            item = new QTreeWidgetItem(chapter);
        }
        item->setText(0, block.text().trimmed());
        item->setToolTip(0, item->text(0)); // the list may be narrower than a long heading
        item->setData(0, topicPositionRole, block.position());
    }
    m_topics->expandAll();
    m_topics->setVisible(m_topics->topLevelItemCount() > 0);
}

void HelpViewer::showTopic(QTreeWidgetItem* item)
{
    if (!item)
        return;
    QTextDocument* document = m_text->document();
    const QTextBlock block = document->findBlock(item->data(0, topicPositionRole).toInt());
    m_text->setTextCursor(QTextCursor(block));
    // The heading goes to the top of the view, not merely somewhere into sight.
    const QRectF bounds = document->documentLayout()->blockBoundingRect(block);
    m_text->verticalScrollBar()->setValue(qRound(bounds.top()));
}

HelpViewer* showHelpContents(QWidget* owner, const QString& fileName)
{
    const QString path = locateDataFile(fileName);
    for (QWidget* window : QApplication::topLevelWidgets()) {
        auto* viewer = qobject_cast<HelpViewer*>(window);
        // A closed viewer is hidden and only waits to be deleted.
        if (viewer && !viewer->isHidden() && viewer->parentWidget() == owner &&
            viewer->filePath() == path) {
            viewer->setWindowState(viewer->windowState() & ~Qt::WindowMinimized);
            viewer->show();
            viewer->raise();
            viewer->activateWindow();
            return viewer;
        }
    }
    auto* viewer = new HelpViewer(owner, path);
    placeBesideOwner(*viewer);
    viewer->show();
    viewer->activateWindow();
    return viewer;
}

} // namespace tolvane::platform
