// The database settings: the server, database, user and password, a test connection, and the
// creation of the tables from "inittbl.sql".
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace rirevar {

class TFrmDb : public QDialog {
  Q_OBJECT

 public:
  TFrmDb();

  QLineEdit* EdtHost;
  QLineEdit* EdtName;
  QLineEdit* EdtUser;
  QLineEdit* EdtPasswd;
  QPushButton* BtnConnect;
  QPushButton* BtnInit;
  QLabel* LblState;
  QPushButton* BtnOk;
  QPushButton* BtnCancel;

 public slots:
  void BtnOkClick();
  void BtnCancelClick();
  void BtnConnectClick();
  void BtnInitClick();

 private:
  // "未入力" when the database name is empty; false then.
  bool CheckName();
};

inline TFrmDb* FrmDb = nullptr;

}  // namespace rirevar
