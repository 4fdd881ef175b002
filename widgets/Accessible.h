#pragma once

namespace tolvane {

// Tells Qt what this library's custom-drawn widgets are to assistive technology: their roles,
// what they show and what they do. Each such widget calls it as it is constructed; the first call
// installs the interfaces, later ones do nothing. It also makes an owned top-level QWidget a
// window with a title, not an anonymous filler.
void useAccessibleInterfaces();

} // namespace tolvane
