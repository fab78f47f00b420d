// Receiving from the main window: the receive menu, "全て受信(&R)", the tool button, the account
// items and the auto-receive timer, against the test run's Dovecot and MariaDB.
#include <QAction>
#include <QListWidget>
#include <QMenu>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <memory>
#include <string>
#include <vector>

#include "app/rirevar1.h"
#include "mainwin/nuvnew.h"
#include "mainwin/nuvpopup.h"
#include "program_under_test.h"
#include "receive/nuvpop.h"
#include "scratch_database.h"
#include "test_mailbox.h"
#include "ui/sjis_qstring.h"

namespace rirevar {

namespace {

using test::Env;
using test::TestMailbox;

QString Utf8(const char* text) { return QString::fromUtf8(text); }

std::vector<std::string> Message(const std::string& subject) {
  return {"From: sender@example.jp", "Subject: " + subject, "Date: Thu, 10 Dec 2026 10:00:00 +0900", "", "body"};
}

std::string AccountLine(int n, const std::string& name, const TestMailbox& box) {
  return "Pop" + std::to_string(n) + "=" + name + "|" + box.Host() + "|" + box.User() + "|" +
         ScramblePassword(TestMailbox::kPassword, PasswordStart(name)) + "|" + std::to_string(box.Port()) + "|0|0|";
}

std::vector<std::string> Lines(const QListWidget& list) {
  std::vector<std::string> lines;
  for (int i = 0; i < list.count(); ++i) lines.push_back(FromQ(list.item(i)->text()));
  return lines;
}

}  // namespace

class ReceiveTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<test::ProgramUnderTest> program_;
  std::unique_ptr<test::ScratchDatabase> database_;
  std::unique_ptr<TestMailbox> home_;
  std::unique_ptr<TestMailbox> work_;

  // Starts connected, with the accounts home and work and whatever else `extra` holds.
  void Start(const std::string& extra = "") {
    const std::string temp = program_->Directory().toStdString();
    const std::string ini = "DBHost=" + Env("RIREVAR_TEST_DB_HOST") + "\r\nDBName=" + database_->Name() +
                            "\r\nDBUser=" + Env("RIREVAR_TEST_DB_USER") + "\r\nTempDir=" + temp +
                            "\r\nTenpDir=" + temp + "\r\nMaxMailSize=2048\r\nInterval=15\r\n" +
                            AccountLine(0, "home", *home_) + "\r\n" + AccountLine(1, "work", *work_) + "\r\n" +
                            extra;
    QFile file(program_->FilePath("nuv.ini"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray::fromStdString(ini));
    file.close();
    program_->Start({});
    QVERIFY(FrmNuv->DbConnected);
  }

  static QString Status() { return FrmNew->StatusBar1->currentMessage(); }

  int Stored() { return std::stoi(database_->Admin().Query("select count(*) from mail").Text(0, 0)); }

 private slots:
  void initTestCase() {
    QVERIFY2(!Env("RIREVAR_TEST_DB_HOST").empty(),
             "RIREVAR_TEST_DB_HOST is not set: run the tests through scripts/test, which starts the servers");
  }

  void init() {
    program_ = std::make_unique<test::ProgramUnderTest>();
    database_ = std::make_unique<test::ScratchDatabase>("rirevar_forms_receive");
    home_ = std::make_unique<TestMailbox>();
    work_ = std::make_unique<TestMailbox>();
  }

  void cleanup() {
    program_.reset();
    database_.reset();
  }

  void receiveMenuHasOneItemPerAccountLine() {
    Start("pop2=lower case|h|||110|0|0|\r\nPop3=a&b|h|||110|0|0|\r\n");
    const QList<QAction*> items = FrmNuv->mnRecieve->actions();
    QCOMPARE(items.size(), 3);
    QCOMPARE(items[0]->text(), QStringLiteral("home"));
    QCOMPARE(items[0]->data().toInt(), 0);
    QCOMPARE(items[1]->text(), QStringLiteral("work"));
    QCOMPARE(items[2]->text(), QStringLiteral("a&&b"));  // shown as "a&b"
    QCOMPARE(items[2]->data().toInt(), 2);
    QCOMPARE(FrmNuv->mnRecieveAll->shortcut(), QKeySequence(Qt::Key_F5));
    QCOMPARE(FrmNuv->ToolButton4->toolTip(), Utf8("受信"));

    // Rebuilt after the POP3 dialog, even when it was cancelled.
    FrmNuv->Settings.Lines().push_back("Pop4=added|h|||110|0|0|");
    program_->Dialogs().Push(ScriptedDialogHost::ModalAction([](QDialog&) { return int(QDialog::Rejected); }));
    FrmNuv->mnPOP3->trigger();
    QCOMPARE(FrmNuv->mnRecieve->actions().size(), 4);
    QCOMPARE(FrmNuv->mnRecieve->actions()[3]->text(), QStringLiteral("added"));
  }

  void receiveAllListsTheMailAndShowsTheSummary() {
    home_->Put(Message("from home"));
    work_->Put(Message("from work 1"));
    work_->Put(Message("from work 2"));
    Start();
    QVERIFY(!FrmNew->isVisible());
    FrmNuv->mnRecieveAll->trigger();
    QVERIFY(FrmNew->isVisible());
    QCOMPARE(Status(), QStringLiteral("home:Ok/work:Ok"));
    QCOMPARE(FrmNuv->ReceiveSummary, std::string("home:Ok/work:Ok"));
    QCOMPARE(FrmNuv->ReceiveSelector, 254);
    QCOMPARE(Lines(*FrmNew->ListBox1), (std::vector<std::string>{"from home", "", "from work 1", "from work 2"}));
    QCOMPARE(FrmNew->MailIds, (std::vector<std::string>{"1", "-1", "2", "3"}));
    QCOMPARE(Stored(), 3);
    QCOMPARE(home_->Count() + work_->Count(), 0);

    // The tool button does the same; the next run's lines come after a separator.
    home_->Put(Message("later"));
    FrmNuv->ToolButton4->trigger();
    QCOMPARE(Lines(*FrmNew->ListBox1).back(), std::string("later"));
    QCOMPARE(FrmNew->MailIds.size(), std::size_t{6});
    QCOMPARE(FrmNew->MailIds[4], std::string("-1"));
  }

  void accountItemReceivesThatAccountOnly() {
    home_->Put(Message("from home"));
    work_->Put(Message("from work"));
    Start();
    FrmNuv->mnRecieve->actions()[1]->trigger();
    QCOMPARE(Status(), QStringLiteral("work:Ok"));
    QCOMPARE(home_->Count(), 1);
    QCOMPARE(work_->Count(), 0);
    QCOMPARE(FrmNuv->ReceiveSelector, 254);
  }

  void commandsDuringARunDoNothing() {
    home_->Put(Message("first"));
    Start();
    int selectorDuringRun = 0;
    // Once the first message is being fetched, everything that could start a receive is tried.
    const auto during = connect(FrmNew->StatusBar1, &QStatusBar::messageChanged, FrmNew, [&](const QString& text) {
      if (text != QStringLiteral("home:1/1") || selectorDuringRun != 0) return;
      selectorDuringRun = FrmNuv->ReceiveSelector;
      home_->Put(Message("would come with a second run"));
      QTest::keyClick(FrmNuv, Qt::Key_F5);
      FrmNuv->mnRecieveAll->trigger();
      FrmNuv->ToolButton4->trigger();
      FrmNuv->mnRecieve->actions()[0]->trigger();
      FrmNuv->AutoReceiveWait = 0;
      FrmNuv->Clock = [] { return QTime(10, 15); };
      FrmNuv->Timer1Timer();
      FrmNew->N1->trigger();  // "ﾘｽﾄｸﾘｱ(&C)" waits for the run to end too
      QTest::keyClick(FrmNew->ListBox1, Qt::Key_Down);  // no input is taken while the run goes on
    });
    FrmNew->AddEntry(99, "earlier");
    FrmNew->AddEntry(98, "earlier too");
    FrmNew->ListBox1->setCurrentRow(0);
    FrmNuv->mnRecieveAll->trigger();
    QCoreApplication::processEvents();
    disconnect(during);
    QCOMPARE(selectorDuringRun, 255);
    QCOMPARE(Stored(), 1);
    QCOMPARE(home_->Count(), 1);
    QCOMPARE(Lines(*FrmNew->ListBox1), (std::vector<std::string>{"earlier", "earlier too", "", "first"}));
    QCOMPARE(FrmNew->ListBox1->currentRow(), 0);
    QCOMPARE(FrmNuv->ReceiveSelector, 254);
  }

  void popupListEmptiesOnlyWhenItWasClosed() {
    Start("Div0=subject like 'news%' >> pop\r\n");
    home_->Put(Message("news 1"));
    FrmNuv->mnRecieveAll->trigger();
    QVERIFY(FrmPopup->isVisible());
    QCOMPARE(Lines(*FrmPopup->ListBox1), std::vector<std::string>{"news 1"});
    QCOMPARE(FrmPopup->MailIds, std::vector<std::string>{"1"});

    home_->Put(Message("news 2"));
    FrmNuv->mnRecieveAll->trigger();
    QCOMPARE(Lines(*FrmPopup->ListBox1), (std::vector<std::string>{"news 1", "news 2"}));

    FrmPopup->hide();
    home_->Put(Message("news 3"));
    FrmNuv->mnRecieveAll->trigger();
    QCOMPARE(Lines(*FrmPopup->ListBox1), std::vector<std::string>{"news 3"});
  }

  void timerReceivesAtMultiplesOfTheInterval() {
    Start();
    QTime now(10, 14, 59);
    FrmNuv->Clock = [&] { return now; };
    std::vector<QString> runs;
    auto tick = [&] {
      FrmNew->hide();
      FrmNuv->Timer1Timer();
      if (FrmNew->isVisible()) runs.push_back(now.toString("hh:mm:ss"));
      now = now.addSecs(1);
    };
    while (now < QTime(10, 31)) tick();
    QCOMPARE(runs, (std::vector<QString>{"10:15:00", "10:30:00"}));

    // Interval 1: every minute qualifies, still at most one run per 60 ticks.
    FrmNuv->Settings.SetValue("Interval", "1");
    runs.clear();
    FrmNuv->AutoReceiveWait = 0;
    now = QTime(11, 0, 30);
    for (int i = 0; i < 150; ++i) tick();
    QCOMPARE(runs, (std::vector<QString>{"11:00:30", "11:01:30", "11:02:30"}));
  }

  void timerDoesNothingWhileDisconnected() {
    Start();
    FrmNuv->Clock = [] { return QTime(10, 15); };
    FrmNuv->DbConnected = false;
    FrmNuv->AutoReceiveWait = 5;
    FrmNuv->Timer1Timer();
    QVERIFY(!FrmNew->isVisible());
    QCOMPARE(FrmNuv->AutoReceiveWait, 5);
  }

  void unusableIntervalIsReportedOnce() {
    for (const char* interval : {"0", "", "abc", "-15"}) {
      Start();
      FrmNuv->Settings.SetValue("Interval", interval);
      FrmNuv->Clock = [] { return QTime(10, 0); };
      FrmNuv->ReceiveSelector = 255;  // a tick inside a run waits with the report
      FrmNuv->Timer1Timer();
      FrmNuv->ReceiveSelector = 254;
      program_->Dialogs().Push(DialogAnswer::Ok);
      for (int i = 0; i < 3; ++i) FrmNuv->Timer1Timer();  // a second report would find no answer
      QVERIFY(!FrmNew->isVisible());
      QCOMPARE(program_->Dialogs().Prompts().size(), std::size_t{1});
      QCOMPARE(program_->Dialogs().Prompts()[0].caption, Utf8("自動受信"));

      // Mended and broken again: told again.
      FrmNuv->Settings.SetValue("Interval", "15");
      FrmNuv->Clock = [] { return QTime(10, 1); };
      FrmNuv->Timer1Timer();
      FrmNuv->Settings.SetValue("Interval", interval);
      program_->Dialogs().Push(DialogAnswer::Ok);
      FrmNuv->Timer1Timer();
      QCOMPARE(program_->Dialogs().Prompts().size(), std::size_t{2});
      cleanup();
      init();
    }
  }

  void checkedAutoReceiveRunsTheTimer() {
    Start();
    QVERIFY(!FrmNuv->Timer1->isActive());
    FrmNuv->mnAutoRecieve->trigger();
    QVERIFY(FrmNuv->Timer1->isActive());
    QCOMPARE(FrmNuv->Timer1->interval(), 1000);
    FrmNuv->mnAutoRecieve->trigger();
    QVERIFY(!FrmNuv->Timer1->isActive());
  }
};

}  // namespace rirevar

QTEST_MAIN(rirevar::ReceiveTest)
#include "receive_test.moc"
