#include "app/db_operations.h"

#include <QString>

#include "app/nuvdm.h"
#include "app/rirevar1.h"
#include "ui/dialog_host.h"
#include "ui/sjis_qstring.h"

namespace rirevar {

bool ConnectDb(const std::string& host, const std::string& database, bool openMailList,
               const std::string& password, const std::string& user) {
  DM1->SQLConnection1.Close();
  DM1->SQLConnection2.Close();
  try {
    const ConnectionParameters parameters{host, database, user, password};
    DM1->SQLConnection1.Open(parameters);
    if (openMailList) DM1->ClientDataSet1.Open(DM1->SQLConnection1);
    DM1->SQLConnection2.Open(parameters);
    FrmNuv->DbConnected = true;
  } catch (const DatabaseError& error) {
    Dialogs().MessageBox(ToQ(error.what()), QString::fromUtf8("ｴﾗｰ"), MessageButtons::Ok, MessageIcon::Stop);
    FrmNuv->DbConnected = false;
  }
  return FrmNuv->DbConnected;
}

std::uint64_t ExecSql(std::string_view statement) {
  if (!FrmNuv->DbConnected) return 0;
  return DM1->SQLConnection1.Execute(statement);
}

void OpenSql(std::string_view statement) {
  if (!FrmNuv->DbConnected) return;
  DM1->SQLQuery2.Open(DM1->SQLConnection1, statement);
}

void CloseSql() { DM1->SQLQuery2.Close(); }

std::uint64_t ExecSql2(std::string_view statement) { return DM1->SQLConnection2.Execute(statement); }

void OpenSql2(std::string_view statement) { DM1->SQLQuery3.Open(DM1->SQLConnection2, statement); }

void CloseSql2() { DM1->SQLQuery3.Close(); }

}  // namespace rirevar
