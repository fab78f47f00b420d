#include "ui/controls.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

namespace rirevar {

QLineEdit* NamedEdit(const char* name) {
  auto* edit = new QLineEdit;
  edit->setObjectName(name);
  return edit;
}

QPushButton* NamedButton(const char* name, const char* captionUtf8) {
  auto* button = new QPushButton(QString::fromUtf8(captionUtf8));
  button->setObjectName(name);
  button->setAutoDefault(false);
  return button;
}

QCheckBox* NamedCheck(const char* name, const char* captionUtf8) {
  auto* check = new QCheckBox(QString::fromUtf8(captionUtf8));
  check->setObjectName(name);
  return check;
}

}  // namespace rirevar
