#pragma once

#include "platform/Errors.h"

#include <QString>

#include <exception>
#include <functional>
#include <optional>

namespace tolvane::platform {

// The message as the user sees it: a full stop is added when the last character sorts after '.'.
QString errorBoxText(const QString& message);

// Shows a failure to the user. Tests replace it to collect the messages instead of opening a box.
using ErrorReporter = std::function<void(const QString& boxText)>;
void setErrorReporter(ErrorReporter reporter);
void reportError(const QString& message);

// Runs a handler and returns the message it failed with, without showing it; nothing when it
// succeeded. For a handler that decides itself what a failure leads to.
template <typename Handler> std::optional<QString> failureOf(Handler&& handler) noexcept
{
    try {
        std::forward<Handler>(handler)();
    } catch (const TolvaneError& error) {
        return error.message();
    } catch (const std::exception& error) {
        return QString::fromLocal8Bit(error.what());
    }
    return std::nullopt;
}

// The one place where handlers of commands, timers and form creation run. A failure skips the
// rest of the handler, is shown once, and never crosses the event loop.
template <typename Handler> void dispatch(Handler&& handler) noexcept
{
    if (const auto failure = failureOf(std::forward<Handler>(handler)))
        reportError(*failure);
}

} // namespace tolvane::platform

namespace tolvane::platform {

// A slot that runs a handler of a form through the dispatch point, for connect().
template <typename Form> auto handler(Form* form, void (Form::*method)())
{
    return [form, method] { dispatch([form, method] { (form->*method)(); }); };
}

} // namespace tolvane::platform
