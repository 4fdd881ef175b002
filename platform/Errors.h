#pragma once

#include <QString>

#include <exception>

namespace tolvane {

// Base of every failure the program reports to the user; the dispatch point shows its message.
class TolvaneError : public std::exception {
public:
    explicit TolvaneError(QString message);
    const QString& message() const noexcept { return m_message; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

// A settings key or value that cannot be created, read or written.
class ERegistryException : public TolvaneError {
    using TolvaneError::TolvaneError;
};

// Text that is not a whole number where one is required.
class EConvertError : public TolvaneError {
    using TolvaneError::TolvaneError;
};

// A sound cue that cannot be opened.
class EMCIDeviceError : public TolvaneError {
    using TolvaneError::TolvaneError;
};

// A component given a setting or a place it cannot take.
class EComponentError : public TolvaneError {
    using TolvaneError::TolvaneError;
};

} // namespace tolvane
