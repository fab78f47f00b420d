// The main window's receive commands: the receive menu, "全て受信(&R)" and the tool button, the
// account items, and the auto-receive timer. The run itself is the receive engine's.
#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QMenu>
#include <QStatusBar>

#include "app/db_operations.h"
#include "app/nuvdm.h"
#include "app/rirevar1.h"
#include "app/setting_values.h"
#include "mainwin/nuvnew.h"
#include "mainwin/nuvpopup.h"
#include "receive/accounts.h"
#include "receive/receive_engine.h"
#include "ui/dialog_host.h"
#include "ui/sjis_qstring.h"

namespace rirevar {

namespace {

constexpr int kIdle = 254;
constexpr int kAllAccounts = 255;

// Paints what the run changed (and whatever the window system asks to repaint), so the new-mail
// window shows each line as it arrives. User input meanwhile is dropped by InputBlock.
void KeepPainting() { QCoreApplication::processEvents(); }

// Drops keys, clicks and the like for as long as it lives: a command given during a receive must
// not wait and run after it (held-back input would, so it is not held back but dropped).
class InputBlock : public QObject {
 public:
  InputBlock() { QCoreApplication::instance()->installEventFilter(this); }
  ~InputBlock() override { QCoreApplication::instance()->removeEventFilter(this); }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    return event->isInputEvent() || event->type() == QEvent::Shortcut;
  }
};

class WindowReceiveView : public ReceiveView {
 public:
  void ShowStatus(const std::string& text) override {
    FrmNew->StatusBar1->showMessage(ToQ(text));
    KeepPainting();
  }
  bool NewMailListEmpty() const override { return FrmNew->MailIds.empty(); }
  void AddNewMail(int id, const std::string& text) override {
    FrmNew->AddEntry(id, ToQ(text));
    KeepPainting();
  }
  void ClearPopupIfHidden() override { FrmPopup->ClearIfHidden(); }
  void AddPopup(int id, const std::string& subject) override {
    FrmPopup->AddEntry(id, ToQ(subject));
    FrmPopup->show();
    KeepPainting();
  }
  void RefreshMailList() override {
    if (DM1->ClientDataSet1.Active()) DM1->ClientDataSet1.Refresh(DM1->SQLConnection1);
  }
};

}  // namespace

void TFrmNuv::BuildReceiveMenu() {
  mnRecieve->clear();
  const std::vector<std::string> records = AccountRecords(Settings);
  for (int n = 0; n < static_cast<int>(records.size()); ++n) {
    // "&" in a name is shown, not taken for a menu letter.
    QAction* item = mnRecieve->addAction(ToQ(SplitFields(records[n], '|')[0]).replace("&", "&&"));
    item->setData(n);
  }
}

void TFrmNuv::mnRecieveAllClick() {
  if (ReceiveSelector != kIdle) return;
  FrmNew->show();
  ReceiveSelector = kAllAccounts;
  RunReceive();
}

void TFrmNuv::ReceiveItemClick(QAction* item) {
  if (ReceiveSelector != kIdle) return;
  FrmNew->show();
  ReceiveSelector = item->data().toInt();
  RunReceive();
}

void TFrmNuv::RunReceive() {
  // Idle again however the run ends, or no receive could ever start again.
  struct BackToIdle {
    int& selector;
    ~BackToIdle() { selector = kIdle; }
  } backToIdle{ReceiveSelector};
  ReceiveSummary.clear();
  InputBlock inputBlock;
  WindowReceiveView view;
  ReceiveEngine engine(Settings, DbConnected ? &DM1->SQLConnection2 : nullptr,
                       {HeaderLogPath, ErrorLogPath, Settings.Value("TenpDir")}, view);
  ReceiveSummary = engine.Run(ReceiveSelector);
}

void TFrmNuv::Timer1Timer() {
  if (!DbConnected) return;
  const std::optional<int> interval = IntValue(Settings, "Interval");
  const int minute = Clock().minute();
  if (AutoReceiveWait > 0) --AutoReceiveWait;
  if (!interval || *interval < 1) {
    // Not in the middle of a receive: the run takes no input, so nobody could close the box.
    if (intervalReported_ || ReceiveSelector != kIdle) return;
    intervalReported_ = true;
    Dialogs().MessageBox(QString::fromUtf8("自動受信の間隔 (Interval) が正しくないので、自動受信しません: \"") +
                             ToQ(Settings.Value("Interval")) +
                             QString::fromUtf8("\"\nSMTP・ﾒｰﾗｰ設定で 1～60 の分数を指定してください。"),
                         QString::fromUtf8("自動受信"), MessageButtons::Ok, MessageIcon::Warning);
    return;
  }
  intervalReported_ = false;
  if (minute % *interval != 0 || AutoReceiveWait != 0) return;
  AutoReceiveWait = 60;
  mnRecieveAllClick();
}

}  // namespace rirevar
