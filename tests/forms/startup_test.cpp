// Starting and closing the program for real: the windows in their order, the settings file read
// at start and written at close.
#include <QAction>
#include <QFile>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTreeWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <memory>

#include "address/nuvaddress.h"
#include "app/rirevar1.h"
#include "compose/nuvmeg.h"
#include "mainwin/nuvmemo.h"
#include "mainwin/nuvnew.h"
#include "program_under_test.h"
#include "ui/sjis_qstring.h"

namespace rirevar {

namespace {

QByteArray Sjis(const char* utf8) { return QByteArray::fromStdString(FromQ(QString::fromUtf8(utf8))); }

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(bytes);
}

QString FirstStartGuide() {
  return QString::fromUtf8(
      "1.[設定]-[ﾃﾞｰﾀﾍﾞｰｽ設定]で接続先ﾃﾞｰﾀﾍﾞｰｽを設定します。\n"
      "2.[設定]-[POP設定]で受信ﾒｰﾙｻｰﾊﾞｰを設定します。\n"
      "3.[設定]-[SMTP・ﾒｰﾙ設定]で送信ﾒｰﾙｻｰﾊﾞとﾒｰﾗｰを設定します。\n");
}

// A settings file as the program itself writes it, with every key the close writes, in the order
// it writes them after the defaults; a start and a close must give it back byte for byte.
QByteArray SteadyFile() {
  QByteArray file;
  for (const char* line : {
           "pop0=default|pop.example.invalid|||110|0|0|",
           "hand-written note without an equals sign",
           "MaxMailSize=2048",
           "Interval=15",
           "DBName=mail",
           "DBHost=127.0.0.1:1",
           "Caption=受信箱",
           "Div0=subject like '%リンゴ%' >> 5",
           "Width=600",
           "Height=400",
           "Left=30",
           "Top=40",
           "DBMemoFont=128|255|-16|ＭＳ ゴシック|12|-16777211",
           "MegFont=128|-16777208|-15|ＭＳ Ｐゴシック|11|16777215",
           "DBMailGridFont=128|-16777208|-12|ＭＳ Ｐゴシック|9|-16777211",
           "TreeFont=1|32768|-13|IPAGothic|10|15790320",
           "FrmMemoFont=128|-16777208|-13|Terminal|10|-16777211",
           "DBMemoWrap=1",
           "ColMail=subject|mailfrom|date",
           "ColMailSize=300|150|100",
           "ColAddress=name|email",
           "ColAddressSize=80|160",
           "FrmBodyW=140",
           "FrmBodyH=170",
           "AdWidth=420",
           "AdHeight=300",
           "AdLeft=50",
           "AdTop=60",
           "AdFrmBodyW=90",
           "AdFrmBodyH=200",
           "MegLeft=70",
           "MegTop=80",
           "MegWidth=500",
           "MegHeight=350",
           "MegWrap=1",
           "MemoWidth=380",
           "MemoHeight=270",
           "MemoLeft=90",
           "MemoTop=100",
           "NewLeft=110",
           "NewTop=120",
           "NewWidth=180",
           "NewHeight=240",
           "AutoRecieve=1",
       }) {
    file += Sjis(line) + "\r\n";
  }
  return file;
}

}  // namespace

class StartupTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<test::ProgramUnderTest> program_;

  QString IniPath() const { return program_->FilePath("nuv.ini"); }
  void Start(std::initializer_list<ScriptedDialogHost::Answer> answers) { program_->Start(answers); }
  const std::vector<RecordedPrompt>& Prompts() const { return program_->Dialogs().Prompts(); }

 private slots:
  void init() { program_ = std::make_unique<test::ProgramUnderTest>(); }
  void cleanup() { program_.reset(); }

  void firstStartWritesTheDefaultsAndShowsTheGuide() {
    Start({DialogAnswer::Ok});
    QCOMPARE(Prompts().size(), std::size_t{1});
    QCOMPARE(Prompts()[0].caption, QString::fromUtf8("手順"));
    QCOMPARE(Prompts()[0].text, FirstStartGuide());
    QVERIFY(FrmNuv->isVisible());
    QCOMPARE(FrmNuv->windowTitle(), QStringLiteral("nuv"));
    QVERIFY(!FrmNuv->DbConnected);
    QCOMPARE(FrmNuv->ReceiveSelector, 254);
    QVERIFY(!QFile::exists(IniPath()));

    FrmNuv->resize(640, 480);
    FrmNuv->move(12, 34);
    QVERIFY(FrmNuv->close());
    const QByteArray written = ReadFile(IniPath());
    const QByteArray directory = QFile::encodeName(program_->Directory());
    for (const QByteArray& line : {
             QByteArray("pop0=default|pop.example.invalid|||110|0|0|\r\n"),
             QByteArray("MaxMailSize=2048\r\nSmtpPort=25\r\n"),
             QByteArray("ColAddress=name|email|tel|company|belong\r\nColAddressSize=59|141|82|53|64\r\n"),
             QByteArray("Interval=15\r\nTempDir=") + directory + "log\r\nTenpDir=" + directory + "tenp\r\n",
             QByteArray("Caption=nuv\r\nDiv0=") + Sjis("subject like '%リンゴ%' or subject like '%バナナ%' >> 5") +
                 "\r\nQuickSave=" + directory + "\r\n",
             QByteArray("ColMail=subject|mailfrom|date|size|name\r\nColMailSize=354|186|112|55|30\r\n"),
             QByteArray("Width=640\r\nHeight=480\r\nLeft=12\r\nTop=34\r\n"),
             QByteArray("DBMemoWrap=0\r\n"),
             QByteArray("AutoRecieve=0\r\n"),
         }) {
      QVERIFY2(written.contains(line), line.constData());
    }
  }

  void secondStartRestoresWhatTheFirstWrote() {
    WriteFile(IniPath(), SteadyFile());
    Start({DialogAnswer::Ok});
    // A database is named, so no guide; its server does not answer: one error box, and the window
    // opens all the same.
    QCOMPARE(Prompts().size(), std::size_t{1});
    QCOMPARE(Prompts()[0].caption, QString::fromUtf8("ｴﾗｰ"));
    QVERIFY(!FrmNuv->DbConnected);
    QCOMPARE(FrmNuv->windowTitle(), QString::fromUtf8("受信箱"));
    QCOMPARE(FrmNuv->size(), QSize(600, 400));
    QCOMPARE(FrmNuv->pos(), QPoint(30, 40));
    QCOMPARE(FrmNuv->TreeView1->width(), 140);
    QCOMPARE(FrmNuv->DBGrid1->height(), 170);
    QCOMPARE(FrmNuv->DBMemo1->font().pointSize(), 12);
    QCOMPARE(FrmNuv->DBMemo1->palette().color(QPalette::Text), QColor(255, 0, 0));
    QCOMPARE(FrmNuv->DBMemo1->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    QVERIFY(FrmNuv->popWrap->isChecked());
    QVERIFY(FrmNuv->mnAutoRecieve->isChecked());
    QVERIFY(FrmNuv->Timer1->isActive());
    QCOMPARE(FrmMeg1->size(), QSize(500, 350));
    QCOMPARE(FrmMeg1->Memo1->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    QVERIFY(FrmMeg1->mnWrap->isChecked());
    QCOMPARE(FrmMemo->size(), QSize(380, 270));
    QCOMPARE(FrmNew->pos(), QPoint(110, 120));
    QCOMPARE(FrmAddress->size(), QSize(420, 300));
    QVERIFY(!FrmMeg1->isVisible());

    QVERIFY(FrmNuv->close());
    QCOMPARE(ReadFile(IniPath()), SteadyFile());
  }

  void menuSwitchesFollowTheUser() {
    WriteFile(IniPath(), SteadyFile());
    Start({DialogAnswer::Ok});
    FrmNuv->mnAutoRecieve->trigger();
    QVERIFY(!FrmNuv->Timer1->isActive());
    FrmNuv->popWrap->trigger();
    QCOMPARE(FrmNuv->DBMemo1->lineWrapMode(), QPlainTextEdit::NoWrap);
    FrmMeg1->mnWrap->trigger();
    QCOMPARE(FrmMeg1->Memo1->lineWrapMode(), QPlainTextEdit::NoWrap);
    QVERIFY(FrmNuv->close());
    const QByteArray written = ReadFile(IniPath());
    QVERIFY(written.contains("\r\nAutoRecieve=0\r\n"));
    QVERIFY(written.contains("\r\nDBMemoWrap=0\r\n"));
    QVERIFY(written.contains("\r\nMegWrap=0\r\n"));
  }

  void handEditedFileKeepsDesignValuesWhereItIsWrong() {
    WriteFile(IniPath(), "DBName=mail\r\nDBHost=127.0.0.1:1\r\nWidth=abc\r\nHeight=\r\nLeft=5\r\nDBMemoFont=garbage\r\n"
                         "MegLeft=10\r\nMegWidth=x\r\nFrmBodyW=wide\r\nPop0=a|b|c|110|0\r\n"
                         "ColMail=||||\r\n");
    Start({DialogAnswer::Ok});
    QCOMPARE(Prompts().size(), std::size_t{1});
    QCOMPARE(FrmNuv->size(), QSize(524, 338));
    QCOMPARE(FrmNuv->x(), 5);
    QCOMPARE(FrmNuv->DBMemo1->font().pointSize(), 11);
    QCOMPARE(FrmMeg1->width(), 407);
    QCOMPARE(FrmMeg1->x(), 10);
    QCOMPARE(FrmNuv->Settings.Value("Pop0"), std::string("a|b|c|110|0|||"));
    QCOMPARE(FrmNuv->Settings.Value("ColMail"), std::string("subject|mailfrom|date|size|name"));
    QCOMPARE(FrmNuv->Settings.Value("ColMailSize"), std::string("354|186|112|55|30"));
    QVERIFY(FrmNuv->close());
    const QByteArray written = ReadFile(IniPath());
    QVERIFY(written.contains("\r\nWidth=524\r\n"));
    QVERIFY(written.contains("Pop0=a|b|c|110|0|||\r\n"));
    QVERIFY(written.contains("\r\nFrmBodyW=121\r\n"));
  }

  void settingsThatCannotBeWrittenAreReported() {
    program_->SetDirectory(program_->FilePath("missing"));
    Start({DialogAnswer::Ok, DialogAnswer::Ok});
    QVERIFY(FrmNuv->close());
    QCOMPARE(Prompts().size(), std::size_t{2});
    QCOMPARE(Prompts()[1].caption, QString::fromUtf8("ｴﾗｰ"));
    QCOMPARE(Prompts()[1].icon, MessageIcon::Stop);
  }

  void everyWindowIsCreatedHiddenWithItsCaption() {
    WriteFile(IniPath(), SteadyFile());
    Start({DialogAnswer::Ok});
    const std::pair<const char*, const char*> windows[] = {
        {"FrmMemo", ""},           {"FrmMeg1", "nuvmeg"},           {"FrmAddress", "ｱﾄﾞﾚｽ帳"},
        {"FrmInputAd", ""},        {"FrmFont", "文字"},             {"FrmPop", "POP3設定"},
        {"FrmNew", "新着ﾒｰﾙ"},     {"FrmSmtp", "SMTP・ﾒｰﾗｰ設定"},   {"FrmColEdit", "表示ｶﾗﾑ"},
        {"FrmFind", "検索"},       {"FrmTeikei", "定型文"},         {"FrmDb", "ﾃﾞｰﾀﾍﾞｰｽ設定"},
        {"FrmInput", ""},          {"FrmPopup", "ﾎﾟｯﾌﾟｱｯﾌﾟ"},
    };
    for (const auto& [name, caption] : windows) {
      QWidget* window = nullptr;
      for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->objectName() == name) window = top;
      }
      QVERIFY2(window != nullptr, name);
      QCOMPARE(window->windowTitle(), QString::fromUtf8(caption));
      QVERIFY2(!window->isVisible(), name);
    }
  }
};

}  // namespace rirevar

QTEST_MAIN(rirevar::StartupTest)
#include "startup_test.moc"
