#include "platform/Errors.h"

namespace tolvane {

TolvaneError::TolvaneError(QString message)
    : m_message(std::move(message))
    , m_utf8(m_message.toUtf8())
{
}

} // namespace tolvane
