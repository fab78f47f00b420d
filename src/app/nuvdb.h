// The database settings.
#pragma once

#include <QDialog>

namespace rirevar {

class TFrmDb : public QDialog {
  Q_OBJECT

 public:
  TFrmDb();
};

inline TFrmDb* FrmDb = nullptr;

}  // namespace rirevar
