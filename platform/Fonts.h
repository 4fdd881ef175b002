#pragma once

namespace tolvane::platform {

// Makes "MS Sans Serif", the forms' font, available: the bitmap font that Debian ships under
// that name when it is installed, otherwise a close sans stands in for it.
void registerFormFont();

} // namespace tolvane::platform
