#include "compose/nuvmeg.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>

#include "app/rirevar1.h"
#include "ui/dialog_host.h"
#include "ui/font_mapping.h"

namespace rirevar {

TFrmMeg1::TFrmMeg1() {
  SetUpWindow(*this, "FrmMeg1", QStringLiteral("nuvmeg"), WindowFrame::Sizable, QSize(407, 280));
  setFont(ToQFont(FontSpec{}));
  Memo1 = new QPlainTextEdit;
  Memo1->setObjectName("Memo1");
  Memo1Font.font.height = -15;
  Memo1Font.font.size = 11;
  ApplyFont(*Memo1, Memo1Font.font, Memo1Font.color);
  setCentralWidget(Memo1);

  View1 = menuBar()->addMenu(QString::fromUtf8("表示(&V)"));
  View1->setObjectName("View1");
  mnWrap = View1->addAction(QString::fromUtf8("折返し"), this, &TFrmMeg1::mnWrapClick);
  mnWrap->setObjectName("mnWrap");
  mnWrap->setCheckable(true);
  mnWrap->setShortcut(QKeySequence("Ctrl+W"));
  SetWordWrap(*Memo1, *mnWrap, false);

  const Settings& settings = FrmNuv->Settings;
  if (!settings.Value("MegLeft").empty()) {
    RestoreBounds(*this, settings, {"MegLeft", "MegTop", "MegWidth", "MegHeight"});
    SetWordWrap(*Memo1, *mnWrap, settings.Value("MegWrap") == "1");
    RestoreFont(*Memo1, Memo1Font, settings, "MegFont");
  }
  if (settings.Value("DBName").empty()) {
    FrmNuv->show();
    Dialogs().MessageBox(
        QString::fromUtf8("1.[設定]-[ﾃﾞｰﾀﾍﾞｰｽ設定]で接続先ﾃﾞｰﾀﾍﾞｰｽを設定します。\n"
                          "2.[設定]-[POP設定]で受信ﾒｰﾙｻｰﾊﾞｰを設定します。\n"
                          "3.[設定]-[SMTP・ﾒｰﾙ設定]で送信ﾒｰﾙｻｰﾊﾞとﾒｰﾗｰを設定します。\n"),
        QString::fromUtf8("手順"), MessageButtons::Ok, MessageIcon::None);
  }
}

void TFrmMeg1::mnWrapClick() { SetWordWrap(*Memo1, *mnWrap, mnWrap->isChecked()); }

}  // namespace rirevar
