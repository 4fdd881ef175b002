#pragma once

#include <QString>

#include <cstdint>

namespace tolvane::platform {

// The standard conversion of a typed number: optional leading blanks, an optional sign, decimal
// digits (or hexadecimal after "$" or "0x"), nothing after them, within 32 bits. Anything else
// raises EConvertError "'<text>' is not a valid integer value".
std::int32_t StrToInt(const QString& text);

} // namespace tolvane::platform
