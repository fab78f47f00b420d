// The quick search of the mail list.
#pragma once

#include <QDialog>

namespace rirevar {

class TFrmFind : public QDialog {
  Q_OBJECT

 public:
  TFrmFind();
};

inline TFrmFind* FrmFind = nullptr;

}  // namespace rirevar
