#include "app/nuvdb.h"

#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/database.h"
#include "app/db_operations.h"
#include "app/init_script.h"
#include "app/rirevar1.h"
#include "ui/app_directory.h"
#include "ui/controls.h"
#include "ui/dialog_host.h"
#include "ui/sjis_qstring.h"
#include "ui/window_settings.h"

namespace rirevar {


TFrmDb::TFrmDb() {
  SetUpWindow(*this, "FrmDb", QString::fromUtf8("ﾃﾞｰﾀﾍﾞｰｽ設定"), WindowFrame::FixedDialog, QSize(300, 200));
  EdtHost = NamedEdit("EdtHost");
  EdtName = NamedEdit("EdtName");
  EdtUser = NamedEdit("EdtUser");
  EdtPasswd = NamedEdit("EdtPasswd");
  EdtPasswd->setEchoMode(QLineEdit::Password);
  BtnConnect = NamedButton("BtnConnect", "接続(&S)");
  BtnInit = NamedButton("BtnInit", "ﾃｰﾌﾞﾙ初期化");
  LblState = new QLabel;
  LblState->setObjectName("LblState");
  BtnOk = NamedButton("BtnOk", "&OK");
  BtnCancel = NamedButton("BtnCancel", "&Cancel");

  auto* grid = new QGridLayout(this);
  grid->addWidget(new QLabel(QString::fromUtf8("ｻｰﾊﾞｰ名")), 0, 0);
  grid->addWidget(EdtHost, 0, 1);
  grid->addWidget(BtnConnect, 0, 2);
  grid->addWidget(new QLabel(QString::fromUtf8("ﾃﾞｰﾀﾍﾞｰｽ名")), 1, 0);
  grid->addWidget(EdtName, 1, 1);
  grid->addWidget(BtnInit, 1, 2);
  grid->addWidget(new QLabel(QString::fromUtf8("ﾕｰｻﾞ")), 2, 0);
  grid->addWidget(EdtUser, 2, 1);
  grid->addWidget(new QLabel(QString::fromUtf8("ﾊﾟｽﾜｰﾄﾞ")), 3, 0);
  grid->addWidget(EdtPasswd, 3, 1);
  grid->addWidget(LblState, 4, 0, 1, 2);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(BtnOk);
  buttons->addWidget(BtnCancel);
  grid->addLayout(buttons, 5, 0, 1, 3);
  setTabOrder(EdtHost, EdtName);
  setTabOrder(EdtName, EdtUser);
  setTabOrder(EdtUser, EdtPasswd);
  setTabOrder(EdtPasswd, BtnConnect);
  setTabOrder(BtnConnect, BtnInit);
  setTabOrder(BtnInit, BtnOk);
  setTabOrder(BtnOk, BtnCancel);

  connect(BtnOk, &QPushButton::clicked, this, &TFrmDb::BtnOkClick);
  connect(BtnCancel, &QPushButton::clicked, this, &TFrmDb::BtnCancelClick);
  connect(BtnConnect, &QPushButton::clicked, this, &TFrmDb::BtnConnectClick);
  connect(BtnInit, &QPushButton::clicked, this, &TFrmDb::BtnInitClick);
}

bool TFrmDb::CheckName() {
  if (!EdtName->text().isEmpty()) return true;
  EdtName->setFocus();
  Dialogs().MessageBox(QString::fromUtf8("未入力"), QString::fromUtf8("ﾃﾞｰﾀﾍﾞｰｽ名"), MessageButtons::Ok,
                       MessageIcon::None);
  return false;
}

void TFrmDb::BtnOkClick() {
  if (CheckName()) accept();
}

void TFrmDb::BtnCancelClick() { reject(); }

void TFrmDb::BtnConnectClick() {
  if (!CheckName()) return;
  // The real connection of the whole program, whatever the dialog ends with.
  if (ConnectDb(FromQ(EdtHost->text()), FromQ(EdtName->text()), false, FromQ(EdtPasswd->text()),
                FromQ(EdtUser->text()))) {
    LblState->setText(QString::fromUtf8("接続成功"));
  }
}

void TFrmDb::BtnInitClick() {
  BtnConnectClick();
  if (!FrmNuv->DbConnected) return;
  if (Dialogs().MessageBox(QString::fromUtf8("rirevar用ﾃｰﾌﾞﾙを作成しますか?"), QString::fromUtf8("初期化"),
                           MessageButtons::OkCancel, MessageIcon::None) != DialogAnswer::Ok) {
    return;
  }
  QFile script(ExecutableDirectory() + "inittbl.sql");
  if (!script.open(QIODevice::ReadOnly)) {
    Dialogs().MessageBox(script.fileName() + "\n" + script.errorString(), QString::fromUtf8("ｴﾗｰ"),
                         MessageButtons::Ok, MessageIcon::Stop);
    return;
  }
  for (const std::string& statement : ScriptStatements(script.readAll().toStdString())) {
    try {
      ExecSql(statement);
    } catch (const DatabaseError& error) {
      Dialogs().MessageBox(ToQ(error.what()) + "\n\n" + ToQ(statement), QString::fromUtf8("ｴﾗｰ"),
                           MessageButtons::Ok, MessageIcon::Stop);
    }
  }
  CloseSql();
  Dialogs().MessageBox(QString::fromUtf8("完了しました。"), QString::fromUtf8("初期化"), MessageButtons::Ok,
                       MessageIcon::None);
}

}  // namespace rirevar
