#pragma once

#include <Qt>

#include <functional>

class QComboBox;
class QDialog;
class QPushButton;
class QString;

namespace tolvane {

// The frame of the settings dialogs: a title with a system menu and a close box, and no sizing.
inline constexpr Qt::WindowFlags settingsDialogFlags =
    Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
    Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;

// Gives OK and Cancel (when there is one) their standard icons and centres the dialog over its
// owner; called once the dialog has its final size.
void setUpDialog(QDialog& dialog, QPushButton* ok, QPushButton* cancel = nullptr);

// OK runs its handler through dispatchKeepingInput: a failure keeps the dialog open with what was
// entered; the handler closes it on success.
void connectOk(QDialog& dialog, QPushButton* ok, std::function<void()> okClick);

// Replaces a box's text only when it differs, so that the caret and selection of someone typing
// stay put.
void setBoxText(QComboBox* box, const QString& text);

} // namespace tolvane
