// Controls made with their designed names, so that tests find them by object name.
#pragma once

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace rirevar {

QLineEdit* NamedEdit(const char* name);
// A button that is never the dialog's default: Enter in an edit does not press it.
QPushButton* NamedButton(const char* name, const char* captionUtf8);
QCheckBox* NamedCheck(const char* name, const char* captionUtf8);

}  // namespace rirevar
