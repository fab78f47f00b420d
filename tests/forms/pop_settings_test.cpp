// The POP3 account dialog: its account list, its messages, and what it writes into the settings.
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <functional>
#include <memory>

#include "app/rirevar1.h"
#include "program_under_test.h"
#include "receive/nuvpop.h"
#include "ui/sjis_qstring.h"

namespace rirevar {

namespace {

QString Utf8(const char* text) { return QString::fromUtf8(text); }

}  // namespace

class PopSettingsTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<test::ProgramUnderTest> program_;

  // Starts with these settings lines (no database named: the first-start guide is answered).
  void Start(const QByteArray& lines) {
    QFile file(program_->FilePath("nuv.ini"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(lines);
    file.close();
    program_->Start({DialogAnswer::Ok});
  }

  // Opens the dialog from the menu; `work` fills and presses it, then gives its result code, or
  // kWrong when the dialog did not show what the test expected.
  static constexpr int kWrong = -1;
  void OpenDialog(const std::function<int(TFrmPop&)>& work) {
    int result = 0;
    program_->Dialogs().Push(ScriptedDialogHost::ModalAction([&](QDialog& dialog) {
      result = work(static_cast<TFrmPop&>(dialog));
      return result == kWrong ? static_cast<int>(QDialog::Rejected) : result;
    }));
    FrmNuv->mnPOP3->trigger();
    QVERIFY2(result != kWrong, "the dialog did not show what was expected");
  }

  const std::vector<RecordedPrompt>& Prompts() const { return program_->Dialogs().Prompts(); }

  static QStringList Names(const TFrmPop& pop) {
    QStringList names;
    for (int i = 0; i < pop.CmbName->count(); ++i) names << pop.CmbName->itemText(i);
    return names;
  }

 private slots:
  void init() { program_ = std::make_unique<test::ProgramUnderTest>(); }
  void cleanup() { program_.reset(); }

  void defaultAccountIsRewrittenInPlaceUnderItsKey() {
    Start("Caption=nuv\r\npop0=default|pop.example.invalid|||110|0|0|\r\nInterval=15\r\n");
    OpenDialog([](TFrmPop& pop) {
      if (Names(pop) != QStringList{"default"}) return kWrong;
      pop.Button1->click();
      return pop.result();
    });
    const auto& lines = FrmNuv->Settings.Lines();
    QCOMPARE(lines.at(1), std::string("Pop0=default|pop.example.invalid|||110|0|0|"));
    QCOMPARE(lines.at(2), std::string("Interval=15"));
  }

  void typingRenamesTheAccountButArrowsDoNot() {
    Start("Pop0=one|h|||110|0|0|\r\nPop1=two|h|||110|0|0|\r\n");
    OpenDialog([](TFrmPop& pop) {
      QLineEdit* name = pop.CmbName->lineEdit();
      QTest::keyClick(name, Qt::Key_End);
      QTest::keyClicks(name, "x");
      const bool renamed = pop.CmbName->itemText(0) == "onex";
      pop.CmbName->setItemText(0, "kept");
      QTest::keyClick(name, Qt::Key_Left);
      const bool arrowsIgnored = pop.CmbName->itemText(0) == "kept";
      return renamed && arrowsIgnored ? static_cast<int>(QDialog::Rejected) : kWrong;
    });
    QCOMPARE(FrmNuv->Settings.Value("Pop0"), std::string("one|h|||110|0|0|"));
  }

  void addingTwoAccountsNamesThemByCount() {
    Start("Pop0=one|h|u||110|0|0|\r\n");
    OpenDialog([](TFrmPop& pop) {
      pop.Button3->click();
      pop.EdtHost->setText("second.example.jp");
      pop.Button3->click();
      if (Names(pop) != QStringList{"one", "New2", "New3"} || pop.EdtPort->text() != "110") return kWrong;
      pop.Button1->click();
      return pop.result();
    });
    QCOMPARE(FrmNuv->Settings.Value("Pop1"), std::string("New2|second.example.jp|||110|0|0|"));
    QCOMPARE(FrmNuv->Settings.Value("Pop2"), std::string("New3||||110|0|0|"));
  }

  void deletingShowsTheNeighbour() {
    Start("Pop0=a|ha|||110|0|0|\r\nPop1=b|hb|||110|0|0|\r\nPop2=c|hc|||110|0|0|\r\n");
    OpenDialog([this](TFrmPop& pop) {
      for (auto answer : {DialogAnswer::Yes, DialogAnswer::Yes, DialogAnswer::Ok}) program_->Dialogs().Push(answer);
      pop.CmbName->setCurrentIndex(2);
      pop.Button4->click();  // the last of three: the second shows
      const bool second = pop.EdtHost->text() == "hb" && pop.CurrentAccount == 1;
      pop.CmbName->setCurrentIndex(0);
      pop.Button4->click();  // the first: the new first shows
      const bool first = pop.EdtHost->text() == "hb" && pop.CurrentAccount == 0;
      pop.Button4->click();  // the only one left
      if (!second || !first || Names(pop) != QStringList{"b"}) return kWrong;
      pop.Button1->click();
      return pop.result();
    });
    QCOMPARE(Prompts().at(2).text, Utf8("削除?"));
    QCOMPARE(Prompts().back().text, Utf8("最後の1個は消せません"));
    QCOMPARE(Prompts().back().caption, Utf8("削除"));
    QCOMPARE(Prompts().back().icon, MessageIcon::Information);
    QCOMPARE(FrmNuv->Settings.Value("Pop0"), std::string("b|hb|||110|0|0|"));
    QCOMPARE(FrmNuv->Settings.Value("Pop1"), std::string());
  }

  void passwordFollowsTheAccountName() {
    Start("Pop0=abc|h|u||110|1|1|3\r\n");
    OpenDialog([](TFrmPop& pop) {
      pop.EdtPasswd->setText("secret a 1");
      pop.Button1->click();
      return pop.result();
    });
    const std::vector<std::string> first = SplitFields(FrmNuv->Settings.Value("Pop0"), '|');
    QCOMPARE(first.at(3), ScramblePassword("secret a 1", 'a'));
    OpenDialog([](TFrmPop& pop) {
      if (pop.EdtPasswd->text() != "secret a 1" || !pop.ChkApop->isChecked() || pop.EdtDeleteDay->text() != "3") {
        return kWrong;
      }
      pop.CmbName->lineEdit()->selectAll();
      QTest::keyClicks(pop.CmbName->lineEdit(), "xyz");
      pop.Button1->click();
      return pop.result();
    });
    const std::vector<std::string> renamed = SplitFields(FrmNuv->Settings.Value("Pop0"), '|');
    QCOMPARE(renamed.at(0), std::string("xyz"));
    QCOMPARE(renamed.at(3), ScramblePassword("secret a 1", 'x'));
    OpenDialog([](TFrmPop& pop) { return pop.EdtPasswd->text() == "secret a 1" ? 0 : kWrong; });
  }

  void cancelLeavesTheAccountsAsTheyWere() {
    const QByteArray lines = "Pop0=a|ha|||110|0|0|\r\nPop1=b|hb|||110|0|0|\r\n";
    Start(lines);
    OpenDialog([](TFrmPop& pop) {
      pop.EdtHost->setText("changed");
      pop.Button3->click();
      pop.Button2->click();
      return pop.result();
    });
    QCOMPARE(FrmNuv->Settings.Value("Pop0"), std::string("a|ha|||110|0|0|"));
    QCOMPARE(FrmNuv->Settings.Value("Pop1"), std::string("b|hb|||110|0|0|"));
    QCOMPARE(FrmNuv->Settings.Value("Pop2"), std::string());
  }

  void emptyNameIsRefused() {
    Start("Pop0=a|ha|||110|0|0|\r\n");
    OpenDialog([this](TFrmPop& pop) {
      program_->Dialogs().Push(DialogAnswer::Ok);
      program_->Dialogs().Push(DialogAnswer::Ok);
      pop.CmbName->setItemText(0, QString());
      pop.Button3->click();
      pop.Button1->click();
      return pop.isVisible() && pop.CmbName->count() == 1 ? static_cast<int>(QDialog::Rejected) : kWrong;
    });
    QCOMPARE(Prompts().size(), std::size_t{4});
    QCOMPARE(Prompts().at(2).text, Utf8("名前を付けて"));
    QCOMPARE(Prompts().at(2).caption, Utf8("設定"));
    QCOMPARE(Prompts().at(3).text, Utf8("名前を付けて"));
  }

  void accountsAfterAGapAreNotLost() {
    Start("Pop0=a|ha|||110|0|0|\r\nPop2=c|hc|||110|0|0|\r\npop5=e|he|||110|0|0|\r\n");
    OpenDialog([](TFrmPop& pop) {
      if (Names(pop) != QStringList{"a", "c", "e"}) return kWrong;
      pop.Button1->click();
      return pop.result();
    });
    QCOMPARE(FrmNuv->Settings.Value("Pop1"), std::string("c|hc|||110|0|0|"));
    QCOMPARE(FrmNuv->Settings.Value("Pop2"), std::string("e|he|||110|0|0|"));
    QCOMPARE(FrmNuv->Settings.Value("Pop5"), std::string());
  }
};

}  // namespace rirevar

QTEST_MAIN(rirevar::PopSettingsTest)
#include "pop_settings_test.moc"
