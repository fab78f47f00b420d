// The column layout editor.
#pragma once

#include <QDialog>

namespace rirevar {

class TFrmColEdit : public QDialog {
  Q_OBJECT

 public:
  TFrmColEdit();
};

inline TFrmColEdit* FrmColEdit = nullptr;

}  // namespace rirevar
