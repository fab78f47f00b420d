// The fixed phrases.
#pragma once

#include <QDialog>

namespace rirevar {

class TFrmTeikei : public QDialog {
  Q_OBJECT

 public:
  TFrmTeikei();
};

inline TFrmTeikei* FrmTeikei = nullptr;

}  // namespace rirevar
