#include "app/rirevar1.h"

#include <QAction>
#include <QCloseEvent>
#include <QLineEdit>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QStyle>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/db_operations.h"
#include "app/default_settings.h"
#include "app/nuvdb.h"
#include "receive/nuvpop.h"
#include "app/setting_values.h"
#include "compose/nuvmeg.h"
#include "address/nuvaddress.h"
#include "mainwin/nuvmemo.h"
#include "mainwin/nuvnew.h"
#include "ui/app_directory.h"
#include "ui/dialog_host.h"
#include "ui/font_mapping.h"
#include "ui/sjis_qstring.h"

namespace rirevar {

namespace {

constexpr int kDesignWidth = 524;
constexpr int kDesignHeight = 338;
constexpr int kDesignTreeWidth = 121;
constexpr int kDesignGridHeight = 150;
// Account records hold at least eight fields; older files may have fewer.
constexpr int kAccountSeparators = 7;

std::string JoinFields(const std::vector<std::string>& fields) {
  std::string joined;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) joined += '|';
    joined += fields[i];
  }
  return joined;
}

}  // namespace

TFrmNuv::TFrmNuv()
    : Splitter1(new QSplitter(Qt::Horizontal)),
      Splitter2(new QSplitter(Qt::Vertical)),
      treeWidth_(*Splitter1, kDesignTreeWidth),
      gridHeight_(*Splitter2, kDesignGridHeight) {
  // The other parts reach the process-wide state through FrmNuv, already while it is constructed
  // (the connection at start-up).
  FrmNuv = this;
  setObjectName("FrmNuv");
  resize(kDesignWidth, kDesignHeight);
  ControlFont windowFont;
  setFont(ToQFont(windowFont.font));

  ToolBar1 = addToolBar(QString());
  ToolBar1->setObjectName("ToolBar1");
  ToolBar1->setMovable(false);
  ToolBar1->setFixedHeight(24);

  TreeView1 = new QTreeWidget;
  TreeView1->setObjectName("TreeView1");
  TreeView1->setHeaderHidden(true);
  TreeView1->setIndentation(19);
  Splitter1->setObjectName("Splitter1");
  Splitter1->setHandleWidth(4);
  Splitter1->setChildrenCollapsible(false);
  Panel1 = new QWidget;
  Panel1->setObjectName("Panel1");
  Splitter1->addWidget(TreeView1);
  Splitter1->addWidget(Panel1);

  DBGrid1 = new QTableView;
  DBGrid1->setObjectName("DBGrid1");
  DBGrid1->verticalHeader()->hide();
  Panel2 = new QWidget;
  Panel2->setObjectName("Panel2");
  DBMemo1 = new QPlainTextEdit;
  DBMemo1->setObjectName("DBMemo1");
  DBMemo1Font.font.height = -15;
  DBMemo1Font.font.size = 11;
  auto* bodyLayout = new QVBoxLayout(Panel2);
  bodyLayout->setContentsMargins(0, 0, 0, 0);
  bodyLayout->addWidget(DBMemo1);
  Splitter2->setObjectName("Splitter2");
  Splitter2->setHandleWidth(4);
  Splitter2->setChildrenCollapsible(false);
  Splitter2->addWidget(DBGrid1);
  Splitter2->addWidget(Panel2);
  auto* rightLayout = new QVBoxLayout(Panel1);
  rightLayout->setContentsMargins(0, 0, 0, 0);
  rightLayout->addWidget(Splitter2);
  setCentralWidget(Splitter1);
  treeWidth_.Apply();
  gridHeight_.Apply();

  StatusBar1 = statusBar();
  StatusBar1->setObjectName("StatusBar1");

  PopupMenu3 = new QMenu(this);
  PopupMenu3->setObjectName("PopupMenu3");
  popWrap = PopupMenu3->addAction(QString::fromUtf8("折返す(&W)"), this, &TFrmNuv::popWrapClick);
  popWrap->setObjectName("popWrap");
  popWrap->setCheckable(true);
  popWrap->setShortcut(QKeySequence("Ctrl+W"));
  popWrap->setShortcutContext(Qt::WidgetShortcut);
  DBMemo1->addAction(popWrap);
  DBMemo1->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(DBMemo1, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { PopupMenu3->popup(DBMemo1->mapToGlobal(at)); });

  ToolBar1->addSeparator()->setObjectName("ToolButton7");
  ToolButton4 = ToolBar1->addAction(style()->standardIcon(QStyle::SP_ArrowDown), QString::fromUtf8("受信"), this,
                                    &TFrmNuv::mnRecieveAllClick);
  ToolButton4->setObjectName("ToolButton4");

  FileMenu = menuBar()->addMenu(QString::fromUtf8("ﾌｧｲﾙ(&F)"));
  mnRecieveAll = FileMenu->addAction(QString::fromUtf8("全て受信(&R)"), this, &TFrmNuv::mnRecieveAllClick);
  mnRecieveAll->setObjectName("mnRecieveAll");
  mnRecieveAll->setShortcut(QKeySequence(Qt::Key_F5));
  mnRecieve = FileMenu->addMenu(QString::fromUtf8("受信"));
  mnRecieve->setObjectName("mnRecieve");
  connect(mnRecieve, &QMenu::triggered, this, &TFrmNuv::ReceiveItemClick);
  mnAutoRecieve = FileMenu->addAction(QString::fromUtf8("自動受信"), this, &TFrmNuv::mnAutoRecieveClick);
  mnAutoRecieve->setObjectName("mnAutoRecieve");
  mnAutoRecieve->setCheckable(true);
  FileMenu->addSeparator()->setObjectName("N2");
  mnClose = FileMenu->addAction(QString::fromUtf8("終了(&Q)"), this, &TFrmNuv::mnCloseClick);
  mnClose->setObjectName("mnClose");

  ViewMenu = menuBar()->addMenu(QString::fromUtf8("表示(&V)"));
  mnNewWindow = ViewMenu->addAction(QString::fromUtf8("新着ｳｨﾝﾄﾞｳ(&N)"), this, &TFrmNuv::mnNewWindowClick);
  mnNewWindow->setObjectName("mnNewWindow");

  SettingMenu = menuBar()->addMenu(QString::fromUtf8("設定(&O)"));
  mnPOP3 = SettingMenu->addAction(QString::fromUtf8("POP3設定...(&P)"), this, &TFrmNuv::mnPOP3Click);
  mnPOP3->setObjectName("mnPOP3");
  mnDatabase = SettingMenu->addAction(QString::fromUtf8("ﾃﾞｰﾀﾍﾞｰｽ設定(&D)"), this, &TFrmNuv::mnDatabaseClick);
  mnDatabase->setObjectName("mnDatabase");

  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setInterval(1000);
  connect(Timer1, &QTimer::timeout, this, &TFrmNuv::Timer1Timer);

  IniPath = FromQ(ExecutableDirectory() + "nuv.ini");
  LoadSettings();
  ErrorLogPath = Settings.Value("TempDir") + "/error.log";
  HeaderLogPath = Settings.Value("TempDir") + "/header.log";
  setWindowTitle(ToQ(Settings.Value("Caption")));
  SortColumn = "date";
  const std::string database = Settings.Value("DBName");
  if (!database.empty()) {
    if (ConnectDb(Settings.Value("DBHost"), database, true,
                  UnscramblePassword(Settings.Value("DBPasswd"), PasswordStart(database)), Settings.Value("DBUser"))) {
      BuildReceiveMenu();
    }
  }
}

void TFrmNuv::mnNewWindowClick() { FrmNew->show(); }

void TFrmNuv::mnPOP3Click() {
  FrmPop->LoadAllIni();
  Dialogs().ShowModal(*FrmPop);
  BuildReceiveMenu();
}

void TFrmNuv::mnDatabaseClick() {
  const std::string name = Settings.Value("DBName");
  FrmDb->EdtHost->setText(ToQ(Settings.Value("DBHost")));
  FrmDb->EdtName->setText(ToQ(name));
  FrmDb->EdtUser->setText(ToQ(Settings.Value("DBUser")));
  if (!name.empty()) {
    FrmDb->EdtPasswd->setText(ToQ(UnscramblePassword(Settings.Value("DBPasswd"), PasswordStart(name))));
  }
  if (Dialogs().ShowModal(*FrmDb) != QDialog::Accepted) return;
  const std::string host = FromQ(FrmDb->EdtHost->text());
  const std::string database = FromQ(FrmDb->EdtName->text());
  const std::string user = FromQ(FrmDb->EdtUser->text());
  const std::string password = FromQ(FrmDb->EdtPasswd->text());
  Settings.SetValue("DBHost", host);
  Settings.SetValue("DBName", database);
  Settings.SetValue("DBUser", user);
  Settings.SetValue("DBPasswd", ScramblePassword(password, PasswordStart(database)));
  if (ConnectDb(host, database, true, password, user)) BuildReceiveMenu();
}

void TFrmNuv::LoadSettings() {
  std::string error;
  std::optional<rirevar::Settings> loaded = ReadSettingsFile(IniPath, error);
  if (!error.empty()) {
    settingsReadable_ = false;
    Dialogs().MessageBox(QString::fromUtf8("設定ファイルを読めません。終了時にも書き込みません。\n") +
                             QString::fromStdString(error),
                         QString::fromUtf8("ｴﾗｰ"), MessageButtons::Ok, MessageIcon::Stop);
  }
  if (!loaded) {
    WriteDefaults();
    return;
  }
  Settings = std::move(*loaded);
  RestoreBounds(*this, Settings, {"Left", "Top", "Width", "Height"});
  RestoreFont(*DBMemo1, DBMemo1Font, Settings, "DBMemoFont");
  RestoreFont(*DBGrid1, DBGrid1Font, Settings, "DBMailGridFont");
  RestoreFont(*TreeView1, TreeView1Font, Settings, "TreeFont");
  SetWordWrap(*DBMemo1, *popWrap, Settings.Value("DBMemoWrap") == "1");
  treeWidth_.Restore(Settings, "FrmBodyW");
  gridHeight_.Restore(Settings, "FrmBodyH");
  const bool autoReceive = Settings.Value("AutoRecieve") == "1";
  SetTimerEnabled(autoReceive);
  mnAutoRecieve->setChecked(autoReceive);
  for (std::string& line : Settings.Lines()) {
    if (line.find("Pop") == std::string::npos) continue;
    // Counted as the fields are cut, so that a "|" inside a Shift-JIS character is not one.
    for (auto separators = SplitFields(line, '|').size() - 1; separators < kAccountSeparators; ++separators) {
      line += '|';
    }
  }
  if (Settings.Value("ColMail") == "||||") WriteDefaultMailColumns(Settings);
  MailColumnFields = SplitFields(Settings.Value("ColMail"), '|');
  MailColumnWidths = SplitFields(Settings.Value("ColMailSize"), '|');
}

void TFrmNuv::WriteDefaults() {
  WriteDefaultSettings(Settings, FromQ(ExecutableDirectory()));
  MailColumnFields = SplitFields(Settings.Value("ColMail"), '|');
  MailColumnWidths = SplitFields(Settings.Value("ColMailSize"), '|');
  SetWordWrap(*DBMemo1, *popWrap, false);
}

void TFrmNuv::SaveSettings() {
  SaveBounds(*this, Settings, {"Left", "Top", "Width", "Height"});
  SaveFont(DBMemo1Font, Settings, "DBMemoFont");
  SaveFont(FrmMeg1->Memo1Font, Settings, "MegFont");
  SaveFont(DBGrid1Font, Settings, "DBMailGridFont");
  SaveFont(TreeView1Font, Settings, "TreeFont");
  SaveFont(FrmMemo->Memo1Font, Settings, "FrmMemoFont");
  Settings.SetValue("DBMemoWrap", popWrap->isChecked() ? "1" : "0");
  Settings.SetValue("ColMail", JoinFields(MailColumnFields));
  Settings.SetValue("ColMailSize", JoinFields(MailColumnWidths));
  Settings.SetValue("ColAddress", JoinFields(FrmAddress->AddressColumnFields));
  Settings.SetValue("ColAddressSize", JoinFields(FrmAddress->AddressColumnWidths));
  treeWidth_.Save(Settings, "FrmBodyW");
  gridHeight_.Save(Settings, "FrmBodyH");
  FrmAddress->SaveGeometry(Settings);
  SaveBounds(*FrmMeg1, Settings, {"MegLeft", "MegTop", "MegWidth", "MegHeight"});
  Settings.SetValue("MegWrap", FrmMeg1->mnWrap->isChecked() ? "1" : "0");
  SaveBounds(*FrmMemo, Settings, {"MemoLeft", "MemoTop", "MemoWidth", "MemoHeight"});
  SaveBounds(*FrmNew, Settings, {"NewLeft", "NewTop", "NewWidth", "NewHeight"});
  Settings.SetValue("AutoRecieve", mnAutoRecieve->isChecked() ? "1" : "0");
  if (!settingsReadable_) return;
  std::string error;
  if (!WriteSettingsFile(IniPath, Settings, error)) {
    Dialogs().MessageBox(QString::fromUtf8("設定を保存できませんでした。\n") + QString::fromStdString(error),
                         QString::fromUtf8("ｴﾗｰ"), MessageButtons::Ok, MessageIcon::Stop);
  }
}

void TFrmNuv::popWrapClick() { SetWordWrap(*DBMemo1, *popWrap, popWrap->isChecked()); }

void TFrmNuv::mnAutoRecieveClick() { SetTimerEnabled(mnAutoRecieve->isChecked()); }

void TFrmNuv::SetTimerEnabled(bool enabled) {
  if (enabled) {
    Timer1->start();
  } else {
    Timer1->stop();
  }
}

void TFrmNuv::mnCloseClick() { close(); }

void TFrmNuv::closeEvent(QCloseEvent* event) { FormClose(*event); }

void TFrmNuv::FormClose(QCloseEvent& event) {
  SaveSettings();
  event.accept();
  emit Closed();
}

}  // namespace rirevar
