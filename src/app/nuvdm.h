// The data module: the two database connections, the queries that run on them, and the rows of
// the mail list and the address list.
#pragma once

#include <QObject>

#include "app/database.h"

namespace rirevar {

class TDM1 : public QObject {
  Q_OBJECT

 public:
  TDM1();

  // Connection 1: the mail list, the address list and general statements.
  Connection SQLConnection1;
  // Connection 2: receiving and storing, so that a receive never disturbs the open mail list.
  Connection SQLConnection2;
  ClientDataSet ClientDataSet1;  // the mail list
  Query SQLQuery2;               // general queries on connection 1
  Query SQLQuery3;               // receive and store queries on connection 2
  ClientDataSet ClientDataSet2;  // the address list
};

inline TDM1* DM1 = nullptr;

}  // namespace rirevar
