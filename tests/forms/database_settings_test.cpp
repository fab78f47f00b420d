// The database settings dialog and the connection at start-up, against the test run's real server.
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdlib>
#include <memory>

#include "app/database.h"
#include "app/db_operations.h"
#include "app/init_script.h"
#include "app/nuvdb.h"
#include "app/nuvdm.h"
#include "app/rirevar1.h"
#include "program_under_test.h"
#include "scratch_database.h"
#include "ui/sjis_qstring.h"

namespace rirevar {

namespace {

using test::Env;
using test::ScratchDatabase;
using test::Tables;

QString Utf8(const char* text) { return QString::fromUtf8(text); }

}  // namespace

class DatabaseSettingsTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<test::ProgramUnderTest> program_;

  void WriteSettings(const std::string& database) {
    QFile file(program_->FilePath("nuv.ini"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray::fromStdString("DBHost=" + Env("RIREVAR_TEST_DB_HOST") + "\r\nDBName=" + database +
                                         "\r\nDBUser=" + Env("RIREVAR_TEST_DB_USER") + "\r\n"));
  }

  void Start(std::initializer_list<ScriptedDialogHost::Answer> answers) { program_->Start(answers); }
  ScriptedDialogHost& Dialogs() const { return program_->Dialogs(); }

  // The database connection 1 is on.
  static std::string CurrentDatabase() {
    OpenSql("select database()");
    const std::string name = DM1->SQLQuery2.Field(0);
    CloseSql();
    return name;
  }

 private slots:
  void initTestCase() {
    QVERIFY2(!Env("RIREVAR_TEST_DB_HOST").empty(),
             "RIREVAR_TEST_DB_HOST is not set: run the tests through scripts/test, which starts the server");
  }

  void init() { program_ = std::make_unique<test::ProgramUnderTest>(); }
  void cleanup() { program_.reset(); }

  void startUpConnectsToTheNamedDatabase() {
    ScratchDatabase mail("rirevar_forms_start");
    WriteSettings(mail.Name());
    Start({});
    QVERIFY(FrmNuv->DbConnected);
    QVERIFY(Dialogs().Prompts().empty());
    QCOMPARE(CurrentDatabase(), mail.Name());
  }

  void emptyNameIsRefusedOnOkTestAndInitialisation() {
    Start({DialogAnswer::Ok});  // the first-start guide
    Dialogs().Push(ScriptedDialogHost::ModalAction([](QDialog& dialog) {
      auto& db = static_cast<TFrmDb&>(dialog);
      db.EdtName->clear();
      db.BtnOk->click();
      db.BtnConnect->click();
      db.BtnInit->click();
      return dialog.isVisible() ? static_cast<int>(QDialog::Rejected) : -1;
    }));
    for (int i = 0; i < 3; ++i) Dialogs().Push(DialogAnswer::Ok);
    FrmNuv->mnDatabaseClick();
    QCOMPARE(Dialogs().Prompts().size(), std::size_t{5});
    for (std::size_t i = 2; i < 5; ++i) {
      QCOMPARE(Dialogs().Prompts()[i].text, Utf8("未入力"));
      QCOMPARE(Dialogs().Prompts()[i].caption, Utf8("ﾃﾞｰﾀﾍﾞｰｽ名"));
    }
    QVERIFY(!FrmNuv->DbConnected);
  }

  void testConnectionReplacesTheProgramsConnectionEvenOnCancel() {
    ScratchDatabase first("rirevar_forms_first");
    ScratchDatabase second("rirevar_forms_second");
    WriteSettings(first.Name());
    Start({});
    QCOMPARE(CurrentDatabase(), first.Name());
    Dialogs().Push(ScriptedDialogHost::ModalAction([&](QDialog& dialog) {
      auto& db = static_cast<TFrmDb&>(dialog);
      db.EdtName->setText(ToQ(second.Name()));
      db.BtnConnect->click();
      return db.LblState->text() == Utf8("接続成功") ? static_cast<int>(QDialog::Rejected) : -1;
    }));
    FrmNuv->mnDatabaseClick();
    QVERIFY(FrmNuv->DbConnected);
    QCOMPARE(CurrentDatabase(), second.Name());
    QCOMPARE(FrmNuv->Settings.Value("DBName"), first.Name());
  }

  void okStoresTheSettingsWithTheScrambledPassword() {
    ScratchDatabase mail("rirevar_forms_ok");
    Start({DialogAnswer::Ok});
    Dialogs().Push(ScriptedDialogHost::ModalAction([&](QDialog& dialog) {
      auto& db = static_cast<TFrmDb&>(dialog);
      db.EdtHost->setText(ToQ(Env("RIREVAR_TEST_DB_HOST")));
      db.EdtName->setText(ToQ(mail.Name()));
      db.EdtUser->setText(ToQ(Env("RIREVAR_TEST_DB_USER")));
      db.BtnOk->click();
      return dialog.result();
    }));
    FrmNuv->mnDatabaseClick();
    QVERIFY(FrmNuv->DbConnected);
    QCOMPARE(FrmNuv->Settings.Value("DBName"), mail.Name());
    QCOMPARE(FrmNuv->Settings.Value("DBPasswd"), std::string());
    QCOMPARE(CurrentDatabase(), mail.Name());
  }

  void initialisationReportsAFailingStatementAndGoesOn() {
    ScratchDatabase mail("rirevar_forms_init", Tables::None);
    QFile script(program_->FilePath("inittbl.sql"));
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("create table first_table (id int);\r\n"
                 "create tabel broken (id int);\r\n"
                 "create table last_table\r\n"
                 " (id int);\r\n");
    script.close();
    WriteSettings(mail.Name());
    // Without tables the mail list cannot open: the start-up connection fails with its message.
    Start({DialogAnswer::Ok});
    QVERIFY(!FrmNuv->DbConnected);
    Dialogs().Push(ScriptedDialogHost::ModalAction([](QDialog& dialog) {
      static_cast<TFrmDb&>(dialog).BtnInit->click();
      return static_cast<int>(QDialog::Rejected);
    }));
    for (int i = 0; i < 3; ++i) Dialogs().Push(DialogAnswer::Ok);
    FrmNuv->mnDatabaseClick();
    const auto& prompts = Dialogs().Prompts();
    QCOMPARE(prompts.size(), std::size_t{5});
    QCOMPARE(prompts[2].text, Utf8("rirevar用ﾃｰﾌﾞﾙを作成しますか?"));
    QCOMPARE(prompts[2].caption, Utf8("初期化"));
    QCOMPARE(prompts[3].caption, Utf8("ｴﾗｰ"));
    QVERIFY(prompts[3].text.endsWith("\n\ncreate tabel broken (id int)"));
    QCOMPARE(prompts[4].text, Utf8("完了しました。"));
    OpenSql("select count(*) from information_schema.tables where table_schema=database()");
    QCOMPARE(DM1->SQLQuery2.Field(0), std::string("2"));
    CloseSql();
  }

  void wrongPasswordShowsTheServersMessageAndDisconnects() {
    ScratchDatabase mail("rirevar_forms_password");
    WriteSettings(mail.Name());
    Start({});
    QVERIFY(FrmNuv->DbConnected);
    Dialogs().Push(DialogAnswer::Ok);
    QVERIFY(!ConnectDb(Env("RIREVAR_TEST_DB_HOST"), mail.Name(), false, "wrong", "no_such_user"));
    QVERIFY(!FrmNuv->DbConnected);
    QCOMPARE(Dialogs().Prompts().back().caption, Utf8("ｴﾗｰ"));
    QVERIFY(Dialogs().Prompts().back().text.contains("Access denied"));
    QCOMPARE(ExecSql("drop database " + mail.Name()), std::uint64_t{0});
    QVERIFY(mail.Exists());  // nothing was sent
  }
};

}  // namespace rirevar

QTEST_MAIN(rirevar::DatabaseSettingsTest)
#include "database_settings_test.moc"
