#include "platform/ErrorDispatch.h"

#include "platform/Application.h"

#include <QApplication>
#include <QMessageBox>

namespace tolvane::platform {

namespace {

void showMessageBox(const QString& boxText)
{
    QMessageBox box(QMessageBox::Critical, applicationTitle(), boxText, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

ErrorReporter& currentReporter()
{
    static ErrorReporter reporter = showMessageBox;
    return reporter;
}

} // namespace

QString errorBoxText(const QString& message)
{
    if (!message.isEmpty() && message.back() > u'.')
        return message + u'.';
    return message;
}

void setErrorReporter(ErrorReporter reporter)
{
    currentReporter() = reporter ? std::move(reporter) : ErrorReporter(showMessageBox);
}

void reportError(const QString& message)
{
    currentReporter()(errorBoxText(message));
}

} // namespace tolvane::platform
