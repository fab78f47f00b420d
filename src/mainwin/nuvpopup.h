// The popup list of incoming mail that a rule announces.
#pragma once

#include <QWidget>

namespace rirevar {

class TFrmPopup : public QWidget {
  Q_OBJECT

 public:
  TFrmPopup();
};

inline TFrmPopup* FrmPopup = nullptr;

}  // namespace rirevar
