// The POP3 account settings: one account shown at a time, chosen by name.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace rirevar {

class TFrmPop : public QDialog {
  Q_OBJECT

 public:
  TFrmPop();

  QComboBox* CmbName;
  QPushButton* Button3;
  QPushButton* Button4;
  QLineEdit* EdtHost;
  QLineEdit* EdtUser;
  QLineEdit* EdtPasswd;
  QLineEdit* EdtPort;
  QCheckBox* ChkApop;
  QCheckBox* ChkNoDelete;
  QLineEdit* EdtDeleteDay;
  QPushButton* Button1;
  QPushButton* Button2;

  // The working list of account records, one per name in CmbName, and the one shown.
  std::vector<std::string> Accounts;
  int CurrentAccount = 0;

  void LoadAllIni();
  void ShowAccount(int index);
  bool StoreAccount(int index);
  void SaveAllIni();

 public slots:
  void CmbNameSelect(int index);
  void Button3Click();
  void Button4Click();
  void Button1Click();
  void Button2Click();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;
};

inline TFrmPop* FrmPop = nullptr;

}  // namespace rirevar
