// The data module: it will own the two database connections and the lists' result sets.
#pragma once

#include <QObject>

namespace rirevar {

class TDM1 : public QObject {
  Q_OBJECT

 public:
  TDM1();
};

inline TDM1* DM1 = nullptr;

}  // namespace rirevar
