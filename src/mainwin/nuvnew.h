// The new-mail window: one line for each message received.
#pragma once

#include <QWidget>

namespace rirevar {

class TFrmNew : public QWidget {
  Q_OBJECT

 public:
  TFrmNew();
};

inline TFrmNew* FrmNew = nullptr;

}  // namespace rirevar
