#pragma once

class QFont;

namespace tolvane::platform {

// Makes "MS Sans Serif", the forms' font, available: the bitmap font that Debian ships under
// that name when it is installed, otherwise a close sans stands in for it. Each height picks the
// strike of that character height; on a screen scaled by a whole factor the forms' 8-point texts
// draw the same pixels that many times larger.
void registerFormFont();

// Whether the font resolves to the forms' bitmap font, which has no outlines of its own however
// the toolkit draws it.
bool isRasterFont(const QFont& font);

} // namespace tolvane::platform
