#include "receive/nuvpop.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include "app/rirevar1.h"
#include "app/settings.h"
#include "receive/accounts.h"
#include "ui/controls.h"
#include "ui/dialog_host.h"
#include "ui/sjis_qstring.h"
#include "ui/window_settings.h"

namespace rirevar {

namespace {

std::string Field(const std::vector<std::string>& fields, std::size_t index) {
  return index < fields.size() ? fields[index] : std::string();
}

}  // namespace

TFrmPop::TFrmPop() {
  SetUpWindow(*this, "FrmPop", QString::fromUtf8("POP3設定"), WindowFrame::FixedDialog, QSize(320, 240));
  CmbName = new QComboBox;
  CmbName->setObjectName("CmbName");
  CmbName->setEditable(true);
  CmbName->setCompleter(nullptr);
  CmbName->setInsertPolicy(QComboBox::NoInsert);
  Button3 = NamedButton("Button3", "新規(&N)");
  Button4 = NamedButton("Button4", "削除(&D)");
  EdtHost = NamedEdit("EdtHost");
  EdtUser = NamedEdit("EdtUser");
  EdtPasswd = NamedEdit("EdtPasswd");
  EdtPasswd->setEchoMode(QLineEdit::Password);
  EdtPort = NamedEdit("EdtPort");
  ChkApop = NamedCheck("ChkApop", "APOP");
  ChkNoDelete = NamedCheck("ChkNoDelete", "受信したﾒｰﾙをｻｰﾊﾞｰに残す");
  EdtDeleteDay = NamedEdit("EdtDeleteDay");
  Button1 = NamedButton("Button1", "&OK");
  Button2 = NamedButton("Button2", "&Cancel");

  auto* grid = new QGridLayout(this);
  grid->addWidget(new QLabel(QString::fromUtf8("名前")), 0, 0);
  grid->addWidget(CmbName, 0, 1);
  auto* accountButtons = new QHBoxLayout;
  accountButtons->addWidget(Button3);
  accountButtons->addWidget(Button4);
  grid->addLayout(accountButtons, 0, 2);
  grid->addWidget(new QLabel(QString::fromUtf8("ｻｰﾊﾞｰ名")), 1, 0);
  grid->addWidget(EdtHost, 1, 1, 1, 2);
  grid->addWidget(new QLabel(QString::fromUtf8("ﾕｰｻﾞ")), 2, 0);
  grid->addWidget(EdtUser, 2, 1, 1, 2);
  grid->addWidget(new QLabel(QString::fromUtf8("ﾊﾟｽﾜｰﾄﾞ")), 3, 0);
  grid->addWidget(EdtPasswd, 3, 1, 1, 2);
  grid->addWidget(new QLabel(QString::fromUtf8("ﾎﾟｰﾄ")), 4, 0);
  grid->addWidget(EdtPort, 4, 1);
  grid->addWidget(ChkApop, 4, 2);
  grid->addWidget(ChkNoDelete, 5, 0, 1, 2);
  auto* days = new QHBoxLayout;
  days->addWidget(EdtDeleteDay);
  days->addWidget(new QLabel(QString::fromUtf8("日")));
  grid->addLayout(days, 5, 2);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(Button1);
  buttons->addWidget(Button2);
  grid->addLayout(buttons, 6, 0, 1, 3);
  QWidget* order[] = {CmbName, EdtHost,  EdtUser, EdtPasswd,   EdtPort,     ChkApop,
                      Button3, Button4,  Button1, Button2,     ChkNoDelete, EdtDeleteDay};
  for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);

  CmbName->lineEdit()->installEventFilter(this);
  connect(CmbName, &QComboBox::currentIndexChanged, this, &TFrmPop::CmbNameSelect);
  connect(Button3, &QPushButton::clicked, this, &TFrmPop::Button3Click);
  connect(Button4, &QPushButton::clicked, this, &TFrmPop::Button4Click);
  connect(Button1, &QPushButton::clicked, this, &TFrmPop::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &TFrmPop::Button2Click);
}

void TFrmPop::LoadAllIni() {
  Accounts = LoadAccounts(FrmNuv->Settings);
  // A hand-edited file may hold no account at all; the dialog needs one to show.
  if (Accounts.empty()) Accounts.push_back("New1||||110|0|0|");
  const QSignalBlocker quiet(CmbName);
  CmbName->clear();
  for (const std::string& record : Accounts) CmbName->addItem(ToQ(Field(SplitFields(record, '|'), 0)));
  CurrentAccount = 0;
  CmbName->setCurrentIndex(0);
  ShowAccount(0);
}

void TFrmPop::ShowAccount(int index) {
  const std::vector<std::string> fields =
      index >= 0 && index < static_cast<int>(Accounts.size()) ? SplitFields(Accounts[index], '|')
                                                                 : std::vector<std::string>();
  CmbName->setEditText(ToQ(Field(fields, 0)));
  EdtHost->setText(ToQ(Field(fields, 1)));
  EdtUser->setText(ToQ(Field(fields, 2)));
  EdtPasswd->setText(ToQ(UnscramblePassword(Field(fields, 3), PasswordStart(Field(fields, 0)))));
  EdtPort->setText(ToQ(Field(fields, 4)));
  ChkApop->setChecked(Field(fields, 5) == "1");
  ChkNoDelete->setChecked(Field(fields, 6) == "1");
  EdtDeleteDay->setText(ToQ(Field(fields, 7)));
}

bool TFrmPop::StoreAccount(int index) {
  const std::string name = FromQ(CmbName->itemText(index));
  if (name.empty()) {
    Dialogs().MessageBox(QString::fromUtf8("名前を付けて"), QString::fromUtf8("設定"), MessageButtons::Ok,
                         MessageIcon::None);
    return false;
  }
  Accounts[index] = name + "|" + FromQ(EdtHost->text()) + "|" + FromQ(EdtUser->text()) + "|" +
                    ScramblePassword(FromQ(EdtPasswd->text()), PasswordStart(name)) + "|" +
                    FromQ(EdtPort->text()) + "|" + (ChkApop->isChecked() ? "1" : "0") + "|" +
                    (ChkNoDelete->isChecked() ? "1" : "0") + "|" + FromQ(EdtDeleteDay->text());
  return true;
}

void TFrmPop::SaveAllIni() { SaveAccounts(FrmNuv->Settings, Accounts); }

bool TFrmPop::eventFilter(QObject* watched, QEvent* event) {
  // Typing in the name box renames the shown account at once; moving the caret does not.
  if (watched == CmbName->lineEdit() && event->type() == QEvent::KeyRelease) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key != Qt::Key_Left && key != Qt::Key_Right && key != Qt::Key_Up && key != Qt::Key_Down &&
        CurrentAccount < CmbName->count()) {
      CmbName->setItemText(CurrentAccount, CmbName->currentText());
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TFrmPop::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  CmbName->setFocus();
}

void TFrmPop::CmbNameSelect(int index) {
  if (index < 0 || index == CurrentAccount) return;
  if (StoreAccount(CurrentAccount)) {
    CurrentAccount = index;
    ShowAccount(index);
  } else {
    const QSignalBlocker quiet(CmbName);
    CmbName->setCurrentIndex(CurrentAccount);
  }
}

void TFrmPop::Button3Click() {
  if (!StoreAccount(CurrentAccount)) return;
  const QString name = QStringLiteral("New%1").arg(CmbName->count() + 1);
  {
    const QSignalBlocker quiet(CmbName);
    CmbName->addItem(name);
    CmbName->setCurrentIndex(CmbName->count() - 1);
    CmbName->setEditText(name);
  }
  Accounts.push_back(FromQ(name) + "|||||");
  CurrentAccount = CmbName->count() - 1;
  EdtHost->clear();
  EdtUser->clear();
  EdtPasswd->clear();
  EdtDeleteDay->clear();
  EdtPort->setText(QStringLiteral("110"));
  ChkApop->setChecked(false);
  ChkNoDelete->setChecked(false);
}

void TFrmPop::Button4Click() {
  if (CmbName->count() == 1) {
    Dialogs().MessageBox(QString::fromUtf8("最後の1個は消せません"), QString::fromUtf8("削除"), MessageButtons::Ok,
                         MessageIcon::Information);
    return;
  }
  if (Dialogs().MessageBox(QString::fromUtf8("削除?"), QString(), MessageButtons::YesNo, MessageIcon::None) !=
      DialogAnswer::Yes) {
    return;
  }
  Accounts.erase(Accounts.begin() + CurrentAccount);
  {
    const QSignalBlocker quiet(CmbName);
    CmbName->removeItem(CurrentAccount);
    if (CurrentAccount >= CmbName->count()) --CurrentAccount;
    CmbName->setCurrentIndex(CurrentAccount);
  }
  ShowAccount(CurrentAccount);
}

void TFrmPop::Button1Click() {
  if (!StoreAccount(CurrentAccount)) return;
  SaveAllIni();
  accept();
}

void TFrmPop::Button2Click() { reject(); }

}  // namespace rirevar
