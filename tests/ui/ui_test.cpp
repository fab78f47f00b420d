// The platform layer against real Qt widgets, offscreen: text conversion, the dialog hosts, the
// shell and the settings' fonts and colours.
#include <QApplication>
#include <QColorDialog>
#include <QDeadlineTimer>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <QtTest>
#include <cmath>
#include <functional>
#include <map>
#include <stdexcept>

#include "ui/dialog_host.h"
#include "ui/font_mapping.h"
#include "ui/platform.h"
#include "ui/scripted_dialog_host.h"
#include "ui/sjis_qstring.h"

namespace rirevar {
namespace {

// ＭＳ Ｐゴシック and ＭＳ ゴシック as the settings file holds them.
const QByteArray kMsPGothic = "\x82\x6c\x82\x72 \x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e";
const QByteArray kMsGothic = "\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e";

std::string Bytes(const QByteArray& bytes) { return {bytes.constData(), static_cast<std::size_t>(bytes.size())}; }
QByteArray Bytes(const std::string& bytes) { return {bytes.data(), static_cast<qsizetype>(bytes.size())}; }

constexpr std::int32_t SystemColor(std::uint32_t index) { return static_cast<std::int32_t>(0xFF000000u + index); }

// Acts on the modal dialog of type T as soon as it runs, from inside its own exec(). A dialog that
// never comes, or one of another type, is closed after a while so that the test fails instead of
// hanging.
template <typename T>
void WhenShown(QObject* owner, std::function<void(T&)> act) {
  auto* timer = new QTimer(owner);
  const QDeadlineTimer deadline(5000);
  QObject::connect(timer, &QTimer::timeout, owner, [timer, deadline, act] {
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* dialog = qobject_cast<T*>(modal)) {
      timer->deleteLater();
      timer->stop();
      act(*dialog);
    } else if (deadline.hasExpired()) {
      timer->deleteLater();
      timer->stop();
      if (modal != nullptr) modal->close();
      QFAIL("the expected dialog was not shown");
    }
  });
  timer->start(10);
}

QByteArray FileBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class FakePlatform : public Platform {
 public:
  bool OpenWithShell(const QString& path) override {
    opened << path;
    return true;
  }
  bool StartCommandLine(const QString& commandLine) override {
    started << commandLine;
    return true;
  }
  bool CtrlDown() const override { return true; }
  bool AltDown() const override { return false; }

  QStringList opened;
  QStringList started;
};

}  // namespace

// Receives what the real shell would be asked to open.
class UrlCatcher : public QObject {
  Q_OBJECT
 public slots:
  void Open(const QUrl& url) { urls << url; }

 public:
  QList<QUrl> urls;
};

class UiTest : public QObject {
  Q_OBJECT

 private:
  ScriptedDialogHost& InstallScriptedHost() {
    auto host = std::make_unique<ScriptedDialogHost>();
    ScriptedDialogHost& installed = *host;
    SetDialogHost(std::move(host));
    return installed;
  }

 private slots:
  void initTestCase() {
    // Every role its own colour, so that a system colour mapped to the wrong role shows.
    QPalette palette;
    int shade = 1;
    for (const auto role : {QPalette::Window, QPalette::WindowText, QPalette::Base, QPalette::Text, QPalette::Button,
                            QPalette::ButtonText, QPalette::Highlight, QPalette::HighlightedText, QPalette::Light,
                            QPalette::Midlight, QPalette::Mid, QPalette::Dark, QPalette::Shadow, QPalette::ToolTipBase,
                            QPalette::ToolTipText, QPalette::Link}) {
      palette.setColor(role, QColor(shade, 100, 200));
      ++shade;
    }
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(99, 99, 99));
    QApplication::setPalette(palette);
  }

  void cleanup() {
    // A dialog that never came must not let its handler act on the next test's dialog.
    qDeleteAll(findChildren<QTimer*>());
    SetDialogHost(nullptr);
    SetPlatform(nullptr);
  }

  void ShowsAndTypesShiftJis_data() {
    QTest::addColumn<QByteArray>("sjis");
    QTest::addColumn<QString>("text");
    QTest::newRow("hiragana") << QByteArray("\x82\xa0\x82\xa2\x82\xa4") << QStringLiteral("あいう");
    QTest::newRow("full-width face name with a half-width space") << kMsPGothic << QStringLiteral("ＭＳ Ｐゴシック");
    QTest::newRow("half-width kana of the error caption") << QByteArray("\xb4\xd7\xb0") << QStringLiteral("ｴﾗｰ");
    QTest::newRow("line break kept as CR LF") << QByteArray("a\r\nb") << QStringLiteral("a\r\nb");
    QTest::newRow("empty") << QByteArray() << QString();
  }

  void ShowsAndTypesShiftJis() {
    QFETCH(QByteArray, sjis);
    QFETCH(QString, text);
    QCOMPARE(ToQ(Bytes(sjis)), text);
    QCOMPARE(Bytes(FromQ(text)), sjis);
  }

  void TypesTheWaveDashAsShiftJis() { QCOMPARE(Bytes(FromQ(QString(QChar(0x301C)))), QByteArray("\x81\x60")); }

  void ScriptedHostRecordsPromptsAndAnswersInOrder() {
    ScriptedDialogHost& host = InstallScriptedHost();
    FontSpec chosenFont;
    chosenFont.name = "IPAGothic";
    chosenFont.size = 14;
    host.Push(DialogAnswer::Yes);
    host.Push(std::optional<QString>(QStringLiteral("/tmp/body.txt")));
    host.Push(std::optional<QString>());
    host.Push(chosenFont);
    host.Push(std::int32_t{0x00563412});
    host.Push(DialogAnswer::Cancel);

    QCOMPARE(Dialogs().MessageBox(QStringLiteral("削除しますか?"), QStringLiteral("確認"), MessageButtons::YesNo,
                                  MessageIcon::Question),
             DialogAnswer::Yes);
    QCOMPARE(Dialogs().SaveFileName(QStringLiteral("保存"), QStringLiteral("body.txt"), QString()),
             std::optional<QString>(QStringLiteral("/tmp/body.txt")));
    QCOMPARE(Dialogs().OpenFileName(QStringLiteral("開く"), QStringLiteral("/tmp"), QString()),
             std::optional<QString>());
    FontSpec font;
    QVERIFY(Dialogs().ChooseFont(font));
    QCOMPARE(font.name, chosenFont.name);
    QCOMPARE(font.size, 14);
    QCOMPARE(Dialogs().ChooseColor(0), std::optional<std::int32_t>(0x00563412));
    QCOMPARE(Dialogs().ChooseColor(0), std::optional<std::int32_t>());

    const std::vector<RecordedPrompt>& prompts = host.Prompts();
    QCOMPARE(prompts.size(), std::size_t{6});
    QCOMPARE(prompts[0].kind, QStringLiteral("message"));
    QCOMPARE(prompts[0].text, QStringLiteral("削除しますか?"));
    QCOMPARE(prompts[0].caption, QStringLiteral("確認"));
    QCOMPARE(prompts[0].buttons, MessageButtons::YesNo);
    QCOMPARE(prompts[0].icon, MessageIcon::Question);
    QCOMPARE(prompts[1].kind, QStringLiteral("save"));
    QCOMPARE(prompts[1].caption, QStringLiteral("保存"));
    QCOMPARE(prompts[1].text, QStringLiteral("body.txt"));
    QCOMPARE(prompts[2].kind, QStringLiteral("open"));
    QCOMPARE(prompts[3].kind, QStringLiteral("font"));
    QCOMPARE(prompts[3].text, QStringLiteral("ＭＳ Ｐゴシック"));
    QCOMPARE(prompts[4].kind, QStringLiteral("colour"));
  }

  void ScriptedHostCancelsAFontChoiceWithCancel() {
    ScriptedDialogHost& host = InstallScriptedHost();
    host.Push(DialogAnswer::Cancel);
    FontSpec font;
    font.size = 11;
    QVERIFY(!Dialogs().ChooseFont(font));
    QCOMPARE(font.size, 11);
  }

  void ScriptedModalActionFillsAndClosesTheRealDialog_data() {
    QTest::addColumn<bool>("clickOk");
    QTest::addColumn<int>("result");
    QTest::newRow("OK clicked") << true << int{QDialog::Accepted};
    QTest::newRow("left open, closed as cancelled") << false << int{QDialog::Rejected};
  }

  void ScriptedModalActionFillsAndClosesTheRealDialog() {
    QFETCH(bool, clickOk);
    QFETCH(int, result);
    ScriptedDialogHost& host = InstallScriptedHost();
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("サーバー"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* edit = new QLineEdit(&dialog);
    edit->setObjectName(QStringLiteral("EdtHost"));
    auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
    ok->setObjectName(QStringLiteral("BtnOk"));
    layout->addWidget(edit);
    layout->addWidget(ok);
    connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    QSignalSpy finished(&dialog, &QDialog::finished);
    bool shownToTheAction = false;
    host.Push(ScriptedDialogHost::ModalAction([&](QDialog& shown) {
      shownToTheAction = shown.isVisible();
      shown.findChild<QLineEdit*>(QStringLiteral("EdtHost"))->setText(QStringLiteral("pop.example.jp"));
      if (!clickOk) return int{QDialog::Rejected};
      shown.findChild<QPushButton*>(QStringLiteral("BtnOk"))->click();
      return shown.result();
    }));

    QCOMPARE(Dialogs().ShowModal(dialog), result);
    QVERIFY(shownToTheAction);
    QCOMPARE(edit->text(), QStringLiteral("pop.example.jp"));
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), result);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(host.Prompts().at(0).kind, QStringLiteral("modal"));
    QCOMPARE(host.Prompts().at(0).caption, QStringLiteral("サーバー"));
  }

  void ScriptedHostFailsOnAnUnexpectedPrompt_data() {
    QTest::addColumn<QString>("prompt");
    QTest::addColumn<int>("queued");  // the alternative of the queued answer; -1: none
    QTest::addColumn<QString>("named");
    QTest::newRow("message box with nothing queued") << QStringLiteral("message") << -1 << QStringLiteral("確認");
    QTest::newRow("modal dialog with nothing queued") << QStringLiteral("modal") << -1 << QStringLiteral("ダイアログ");
    QTest::newRow("message box answered with a file name") << QStringLiteral("message") << 1 << QStringLiteral("確認");
    QTest::newRow("file dialog answered with a button") << QStringLiteral("open") << 0 << QStringLiteral("開く");
    QTest::newRow("modal dialog answered with a button")
        << QStringLiteral("modal") << 0 << QStringLiteral("ダイアログ");
    QTest::newRow("font dialog answered with OK") << QStringLiteral("font") << 0 << QStringLiteral("ＭＳ Ｐゴシック");
    QTest::newRow("colour dialog answered with a font") << QStringLiteral("colour") << 3 << QStringLiteral("255");
    QTest::newRow("save dialog answered with a colour") << QStringLiteral("save") << 4 << QStringLiteral("保存");
  }

  void ScriptedHostFailsOnAnUnexpectedPrompt() {
    QFETCH(QString, prompt);
    QFETCH(int, queued);
    QFETCH(QString, named);
    ScriptedDialogHost& host = InstallScriptedHost();
    const ScriptedDialogHost::Answer answers[] = {DialogAnswer::Ok, std::optional<QString>(QStringLiteral("x")),
                                                  ScriptedDialogHost::ModalAction([](QDialog&) { return 1; }),
                                                  FontSpec{}, std::int32_t{0}};
    if (queued >= 0) host.Push(answers[queued]);
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("ダイアログ"));
    FontSpec font;
    const std::map<QString, std::function<void()>> calls = {
        {QStringLiteral("message"),
         [] {
           (void)Dialogs().MessageBox(QStringLiteral("本文"), QStringLiteral("確認"), MessageButtons::Ok,
                                      MessageIcon::None);
         }},
        {QStringLiteral("modal"), [&] { (void)Dialogs().ShowModal(dialog); }},
        {QStringLiteral("open"), [] { (void)Dialogs().OpenFileName(QStringLiteral("開く"), {}, {}); }},
        {QStringLiteral("save"), [] { (void)Dialogs().SaveFileName(QStringLiteral("保存"), {}, {}); }},
        {QStringLiteral("font"), [&] { (void)Dialogs().ChooseFont(font); }},
        {QStringLiteral("colour"), [] { (void)Dialogs().ChooseColor(255); }},
    };
    try {
      calls.at(prompt)();
      QFAIL("the prompt was answered");
    } catch (const std::logic_error& error) {
      const QString message = QString::fromStdString(error.what());
      QVERIFY2(message.contains(prompt) && message.contains(named), error.what());
    }
    QVERIFY(!dialog.isVisible());
    QCOMPARE(host.Prompts().size(), std::size_t{1});
  }

  void InstalledHostIsTheOneInUseUntilRemoved() {
    DialogHost& real = Dialogs();
    QVERIFY(dynamic_cast<ScriptedDialogHost*>(&real) == nullptr);
    ScriptedDialogHost& scripted = InstallScriptedHost();
    QCOMPARE(&Dialogs(), static_cast<DialogHost*>(&scripted));
    SetDialogHost(nullptr);
    QCOMPARE(&Dialogs(), &real);
  }

  void RealMessageBoxShowsTheTextAndMapsTheAnswer_data() {
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("press");  // a QMessageBox::StandardButton; 0: Escape
    QTest::addColumn<int>("answer");
    const auto row = [](const char* name, MessageButtons buttons, int press, DialogAnswer answer) {
      QTest::newRow(name) << static_cast<int>(buttons) << press << static_cast<int>(answer);
    };
    row("OK", MessageButtons::Ok, QMessageBox::Ok, DialogAnswer::Ok);
    row("Cancel of OK/Cancel", MessageButtons::OkCancel, QMessageBox::Cancel, DialogAnswer::Cancel);
    row("Yes", MessageButtons::YesNo, QMessageBox::Yes, DialogAnswer::Yes);
    row("No of Yes/No/Cancel", MessageButtons::YesNoCancel, QMessageBox::No, DialogAnswer::No);
    row("Escape of Yes/No is No", MessageButtons::YesNo, 0, DialogAnswer::No);
    row("Escape of Yes/No/Cancel is Cancel", MessageButtons::YesNoCancel, 0, DialogAnswer::Cancel);
    row("Escape of OK is OK", MessageButtons::Ok, 0, DialogAnswer::Ok);
  }

  void RealMessageBoxShowsTheTextAndMapsTheAnswer() {
    QFETCH(int, buttons);
    QFETCH(int, press);
    QFETCH(int, answer);
    QString shownText;
    QString shownCaption;
    QMessageBox::Icon shownIcon = QMessageBox::NoIcon;
    WhenShown<QMessageBox>(this, [&](QMessageBox& box) {
      shownText = box.text();
      shownCaption = box.windowTitle();
      shownIcon = box.icon();
      // Markup would swallow the address; the box must show the text as written.
      QCOMPARE(box.textFormat(), Qt::PlainText);
      if (press == 0) {
        QTest::keyClick(&box, Qt::Key_Escape);
      } else {
        box.button(static_cast<QMessageBox::StandardButton>(press))->click();
      }
    });
    const QString text = QStringLiteral("<user@example.jp> に送れません");
    QCOMPARE(static_cast<int>(Dialogs().MessageBox(text, QStringLiteral("ｴﾗｰ"), static_cast<MessageButtons>(buttons),
                                                   MessageIcon::Stop)),
             answer);
    QCOMPARE(shownText, text);
    QCOMPARE(shownCaption, QStringLiteral("ｴﾗｰ"));
    QCOMPARE(shownIcon, QMessageBox::Critical);
  }

  void RealFileDialogsGiveTheChosenNameOrNothing_data() {
    QTest::addColumn<bool>("save");
    QTest::addColumn<bool>("accept");
    QTest::newRow("open chosen") << false << true;
    QTest::newRow("open cancelled") << false << false;
    QTest::newRow("save chosen") << true << true;
    QTest::newRow("save cancelled") << true << false;
  }

  void RealFileDialogsGiveTheChosenNameOrNothing() {
    QFETCH(bool, save);
    QFETCH(bool, accept);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("本文.txt"));
    if (!save) {
      QFile file(path);
      QVERIFY(file.open(QIODevice::WriteOnly));
    }
    WhenShown<QFileDialog>(this, [&](QFileDialog& dialog) {
      if (accept) {
        dialog.selectFile(path);
        static_cast<QDialog&>(dialog).accept();
      } else {
        dialog.reject();
      }
    });
    const std::optional<QString> chosen = save ? Dialogs().SaveFileName(QStringLiteral("保存"), path, QString())
                                               : Dialogs().OpenFileName(QStringLiteral("開く"), dir.path(), QString());
    QCOMPARE(chosen, accept ? std::optional<QString>(path) : std::nullopt);
  }

  void RealColourDialogGivesTheSettingsForm() {
    QColor initialShown;
    WhenShown<QColorDialog>(this, [&](QColorDialog& dialog) {
      initialShown = dialog.currentColor();
      dialog.setCurrentColor(QColor(0x12, 0x34, 0x56));
      dialog.accept();
    });
    QCOMPARE(Dialogs().ChooseColor(0x000000FF), std::optional<std::int32_t>(0x00563412));
    QCOMPARE(initialShown, QColor(Qt::red));

    WhenShown<QColorDialog>(this, [](QColorDialog& dialog) { dialog.reject(); });
    QCOMPARE(Dialogs().ChooseColor(0x000000FF), std::optional<std::int32_t>());
  }

  void RealFontDialogGivesFaceSizeAndHeight() {
    FontSpec font;
    font.charset = 128;
    font.color = 0x000000FF;
    int initialSize = 0;
    WhenShown<QFontDialog>(this, [&](QFontDialog& dialog) {
      initialSize = dialog.currentFont().pointSize();
      dialog.setCurrentFont(QFont(QStringLiteral("IPAGothic"), 14));
      dialog.accept();
    });
    QVERIFY(Dialogs().ChooseFont(font));
    QCOMPARE(initialSize, 9);
    QCOMPARE(font.name, std::string("IPAGothic"));
    QCOMPARE(font.size, 14);
    const double dpi = QGuiApplication::primaryScreen()->logicalDotsPerInchY();
    QCOMPARE(font.height, -static_cast<int>(std::lround(14 * dpi / 72)));
    QCOMPARE(font.charset, 128);
    QCOMPARE(font.color, 0x000000FF);

    WhenShown<QFontDialog>(this, [](QFontDialog& dialog) {
      dialog.setCurrentFont(QFont(QStringLiteral("IPAPGothic"), 20));
      dialog.reject();
    });
    QVERIFY(!Dialogs().ChooseFont(font));
    QCOMPARE(font.name, std::string("IPAGothic"));
    QCOMPARE(font.size, 14);
  }

  void InstalledPlatformIsTheOneInUseUntilRemoved() {
    Platform& real = System();
    auto fake = std::make_unique<FakePlatform>();
    FakePlatform& installed = *fake;
    SetPlatform(std::move(fake));
    QCOMPARE(&System(), static_cast<Platform*>(&installed));
    QVERIFY(System().StartCommandLine(QStringLiteral("virar/virar job.txt")));
    QVERIFY(System().CtrlDown());
    QCOMPARE(installed.started, QStringList{QStringLiteral("virar/virar job.txt")});
    SetPlatform(nullptr);
    QCOMPARE(&System(), &real);
  }

  void ReadsTheCtrlAndAltKeys_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("ctrl");
    QTest::addColumn<bool>("alt");
    QTest::newRow("Ctrl held") << int{Qt::Key_Control} << int{Qt::ControlModifier} << true << false;
    QTest::newRow("Alt held") << int{Qt::Key_Alt} << int{Qt::AltModifier} << false << true;
    QTest::newRow("Shift held") << int{Qt::Key_Shift} << int{Qt::ShiftModifier} << false << false;
  }

  void ReadsTheCtrlAndAltKeys() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, ctrl);
    QFETCH(bool, alt);
    QWidget window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTest::keyPress(window.windowHandle(), static_cast<Qt::Key>(key), Qt::KeyboardModifiers(modifiers));
    const bool ctrlDown = System().CtrlDown();
    const bool altDown = System().AltDown();
    QTest::keyRelease(window.windowHandle(), static_cast<Qt::Key>(key), Qt::NoModifier);
    QCOMPARE(ctrlDown, ctrl);
    QCOMPARE(altDown, alt);
    QVERIFY(!System().CtrlDown() && !System().AltDown());
  }

  void StartsCommandLines_data() {
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<bool>("started");
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("blanks only") << QStringLiteral("   ") << false;
    QTest::newRow("program on the path") << QStringLiteral("true") << true;
    QTest::newRow("program with arguments") << QStringLiteral("true -a \"b c\"") << true;
    QTest::newRow("no such program") << QStringLiteral("rirevar-no-such-program --x") << false;
  }

  void StartsCommandLines() {
    QFETCH(QString, commandLine);
    QFETCH(bool, started);
    QCOMPARE(System().StartCommandLine(commandLine), started);
  }

  void StartsACommandLineWithQuotedArguments() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.txt"));
    // The shell writes the length of its first argument: 3 only if "a b" came as one.
    QVERIFY(System().StartCommandLine(QStringLiteral("sh -c \"printf %s ${#1} > '%1'\" sh \"a b\"").arg(path)));
    QTRY_COMPARE(FileBytes(path), QByteArray("3"));
  }

  void OpensFilesAndAddressesWithTheShell_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QUrl>("url");
    QTest::newRow("absolute path with a space")
        << QStringLiteral("/tmp/添付 1.txt") << QUrl::fromLocalFile(QStringLiteral("/tmp/添付 1.txt"));
    QTest::newRow("relative path") << QStringLiteral("temp.html")
                                   << QUrl::fromLocalFile(
                                          QDir::current().absoluteFilePath(QStringLiteral("temp.html")));
    QTest::newRow("web address") << QStringLiteral("http://example.jp/a?b=c")
                                 << QUrl(QStringLiteral("http://example.jp/a?b=c"));
    QTest::newRow("mail address") << QStringLiteral("mailto:user@example.jp")
                                  << QUrl(QStringLiteral("mailto:user@example.jp"));
  }

  void OpensFilesAndAddressesWithTheShell() {
    QFETCH(QString, path);
    QFETCH(QUrl, url);
    UrlCatcher catcher;
    for (const char* scheme : {"file", "http", "mailto"}) {
      QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &catcher, "Open");
    }
    const bool opened = System().OpenWithShell(path);
    for (const char* scheme : {"file", "http", "mailto"})
      QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    QVERIFY(opened);
    QCOMPARE(catcher.urls, QList<QUrl>{url});
  }

  void OpensAnExistingFileWhoseNameLooksLikeAnAddress() {
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("a:b.txt")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "Open");
    const bool opened = System().OpenWithShell(QStringLiteral("a:b.txt"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QDir::setCurrent(previous);
    QVERIFY(opened);
    QCOMPARE(catcher.urls, QList<QUrl>{QUrl::fromLocalFile(file.fileName())});
  }

  void MapsSettingsColours_data() {
    QTest::addColumn<int>("color");
    QTest::addColumn<QColor>("expected");
    const QPalette palette = QApplication::palette();
    QTest::newRow("red") << 0x000000FF << QColor(255, 0, 0);
    QTest::newRow("blue") << 0x00FF0000 << QColor(0, 0, 255);
    QTest::newRow("bytes in BGR order") << 0x00563412 << QColor(0x12, 0x34, 0x56);
    QTest::newRow("window is the edit background") << SystemColor(5) << palette.color(QPalette::Base);
    QTest::newRow("button face") << SystemColor(15) << palette.color(QPalette::Button);
    QTest::newRow("window text") << SystemColor(8) << palette.color(QPalette::WindowText);
    QTest::newRow("highlight") << SystemColor(13) << palette.color(QPalette::Highlight);
    QTest::newRow("grey text is disabled text") << SystemColor(17) << palette.color(QPalette::Disabled, QPalette::Text);
    QTest::newRow("info background is the tool tip") << SystemColor(24) << palette.color(QPalette::ToolTipBase);
    QTest::newRow("hot light is a link") << SystemColor(26) << palette.color(QPalette::Link);
    QTest::newRow("unused index 25") << SystemColor(25) << palette.color(QPalette::WindowText);
    QTest::newRow("index beyond the system colours") << SystemColor(200) << palette.color(QPalette::WindowText);
    QTest::newRow("negative without the system tag")
        << static_cast<int>(0x80000005u) << palette.color(QPalette::WindowText);
  }

  void MapsSettingsColours() {
    QFETCH(int, color);
    QFETCH(QColor, expected);
    QCOMPARE(ToQColor(color), expected);
  }

  void MapsSettingsFonts_data() {
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("pointSize");  // -1: set in pixels
    QTest::addColumn<int>("pixelSize");  // -1: set in points
    QTest::addColumn<QString>("shownFamily");
    QTest::newRow("missing proportional face, the size wins")
        << kMsPGothic << -12 << 9 << 9 << -1 << QStringLiteral("IPAPGothic");
    QTest::newRow("missing fixed-width face keeps fixed width")
        << kMsGothic << -12 << 9 << 9 << -1 << QStringLiteral("IPAGothic");
    QTest::newRow("character height without size")
        << kMsPGothic << -15 << 0 << -1 << 15 << QStringLiteral("IPAPGothic");
    QTest::newRow("cell height without size") << kMsPGothic << 16 << 0 << -1 << 16 << QStringLiteral("IPAPGothic");
    QTest::newRow("installed face is used")
        << QByteArray("DejaVu Sans") << -13 << 10 << 10 << -1 << QStringLiteral("DejaVu Sans");
  }

  void MapsSettingsFonts() {
    QFETCH(QByteArray, name);
    QFETCH(int, height);
    QFETCH(int, size);
    QFETCH(int, pointSize);
    QFETCH(int, pixelSize);
    QFETCH(QString, shownFamily);
    QVERIFY(QFontDatabase::hasFamily(shownFamily));
    FontSpec wanted;
    wanted.name = Bytes(name);
    wanted.height = height;
    wanted.size = size;
    const QFont font = ToQFont(wanted);
    QCOMPARE(font.families().value(0), ToQ(wanted.name));
    QCOMPARE(font.pointSize(), pointSize);
    QCOMPARE(font.pixelSize(), pixelSize);
    QCOMPARE(QFontInfo(font).family(), shownFamily);
  }

  void AppliesFontAndColoursToAWidget_data() {
    QTest::addColumn<int>("fontColor");
    QTest::addColumn<int>("controlColor");
    QTest::addColumn<QColor>("text");
    QTest::addColumn<QColor>("background");
    const QPalette palette = QApplication::palette();
    QTest::newRow("plain colours") << 0x000000FF << 0x00FF0000 << QColor(Qt::red) << QColor(Qt::blue);
    QTest::newRow("system colours") << SystemColor(8) << SystemColor(5) << palette.color(QPalette::WindowText)
                                    << palette.color(QPalette::Base);
  }

  void AppliesFontAndColoursToAWidget() {
    QFETCH(int, fontColor);
    QFETCH(int, controlColor);
    QFETCH(QColor, text);
    QFETCH(QColor, background);
    QLineEdit edit;
    FontSpec font;
    font.color = fontColor;
    font.size = 11;
    ApplyFont(edit, font, controlColor);
    QCOMPARE(edit.font().pointSize(), 11);
    QCOMPARE(edit.font().families().value(0), QStringLiteral("ＭＳ Ｐゴシック"));
    QCOMPARE(edit.palette().color(QPalette::Text), text);
    QCOMPARE(edit.palette().color(QPalette::WindowText), text);
    QCOMPARE(edit.palette().color(QPalette::Base), background);
    QCOMPARE(edit.palette().color(QPalette::Window), background);
    QVERIFY(edit.autoFillBackground());
  }
};

}  // namespace rirevar

QTEST_MAIN(rirevar::UiTest)
#include "ui_test.moc"
