// The main window and the process-wide state that every part of the system shares.
#pragma once

#include <QMainWindow>
#include <QTime>
#include <functional>
#include <string>
#include <vector>

#include "app/settings.h"
#include "ui/window_settings.h"

class QAction;
class QMenu;
class QPlainTextEdit;
class QSplitter;
class QStatusBar;
class QTableView;
class QTimer;
class QToolBar;
class QTreeWidget;

namespace rirevar {

class TFrmNuv : public QMainWindow {
  Q_OBJECT

 public:
  TFrmNuv();

  std::string IniPath;
  rirevar::Settings Settings;
  std::string ErrorLogPath;
  std::string HeaderLogPath;
  bool DbConnected = false;
  int ReceiveSelector = 254;  // 254 idle, 255 all accounts, 0..n one account
  std::string ReceiveSummary;
  std::string SortColumn;
  int SortDirection = -1;
  std::string SearchCondition;
  int AutoReceiveWait = 0;

  QToolBar* ToolBar1;
  QSplitter* Splitter1;
  QTreeWidget* TreeView1;
  QWidget* Panel1;
  QSplitter* Splitter2;
  QTableView* DBGrid1;
  QWidget* Panel2;
  QPlainTextEdit* DBMemo1;
  QStatusBar* StatusBar1;
  QMenu* PopupMenu3;
  QAction* popWrap;
  QAction* ToolButton4;  // "受信"
  QMenu* FileMenu;
  QAction* mnRecieveAll;
  QMenu* mnRecieve;
  QAction* mnAutoRecieve;
  QAction* mnClose;
  QMenu* ViewMenu;
  QAction* mnNewWindow;
  QMenu* SettingMenu;
  QAction* mnPOP3;
  QAction* mnDatabase;
  QTimer* Timer1;
  // The local time the auto-receive timer goes by; replaceable in tests.
  std::function<QTime()> Clock = [] { return QTime::currentTime(); };

  // The mail list's columns: field names and widths, in display order.
  std::vector<std::string> MailColumnFields;
  std::vector<std::string> MailColumnWidths;

  ControlFont DBMemo1Font;
  ControlFont DBGrid1Font;
  ControlFont TreeView1Font;

  void LoadSettings();
  void SaveSettings();
  // One item per account in the "受信" submenu.
  void BuildReceiveMenu();
  // Receives the accounts ReceiveSelector names, then returns it to idle.
  void RunReceive();

 signals:
  // The main window has closed: the program ends.
  void Closed();

 public slots:
  void mnRecieveAllClick();
  void ReceiveItemClick(QAction* item);
  void Timer1Timer();
  void mnAutoRecieveClick();
  void mnCloseClick();
  void mnNewWindowClick();
  void mnPOP3Click();
  void mnDatabaseClick();
  void popWrapClick();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void FormClose(QCloseEvent& event);
  void WriteDefaults();
  void SetTimerEnabled(bool enabled);

  PaneSize treeWidth_;
  PaneSize gridHeight_;
  // A settings file that exists but could not be read is never overwritten.
  bool settingsReadable_ = true;
  // The user was told that Interval is no usable number; told again only after it was mended.
  bool intervalReported_ = false;
};

inline TFrmNuv* FrmNuv = nullptr;

}  // namespace rirevar
