// The new-mail window and the popup list: their lines, and when they are cleared.
#include <QAction>
#include <QListWidget>
#include <QtTest>
#include <memory>

#include "app/rirevar1.h"
#include "mainwin/nuvnew.h"
#include "mainwin/nuvpopup.h"
#include "program_under_test.h"

namespace rirevar {

class NewMailTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<test::ProgramUnderTest> program_;

 private slots:
  void init() {
    program_ = std::make_unique<test::ProgramUnderTest>();
    program_->Start({DialogAnswer::Ok});  // the first-start guide
  }
  void cleanup() { program_.reset(); }

  void linesAndTheirIdsStayParallel() {
    FrmNew->AddEntry(7, "first");
    FrmNew->AddEntry(-1, QString());  // the separator before a second run's lines
    FrmNew->AddEntry(8, "second");
    QCOMPARE(FrmNew->ListBox1->count(), 3);
    QCOMPARE(FrmNew->ListBox1->item(2)->text(), QStringLiteral("second"));
    QCOMPARE(FrmNew->MailIds, (std::vector<std::string>{"7", "-1", "8"}));
  }

  void clearingWaitsForTheReceiveToEnd() {
    FrmNew->AddEntry(7, "first");
    FrmNuv->ReceiveSelector = 255;
    FrmNew->N1->trigger();
    QCOMPARE(FrmNew->ListBox1->count(), 1);
    FrmNuv->ReceiveSelector = 254;
    FrmNew->N1->trigger();
    QCOMPARE(FrmNew->ListBox1->count(), 0);
    QVERIFY(FrmNew->MailIds.empty());
  }

  void closingHidesAndKeepsTheLines() {
    FrmNuv->mnNewWindow->trigger();
    QVERIFY(FrmNew->isVisible());
    FrmNew->AddEntry(7, "first");
    FrmNew->N3->trigger();
    QVERIFY(!FrmNew->isVisible());
    QCOMPARE(FrmNew->ListBox1->count(), 1);
  }

  void popupLinesPileUpOnlyWhileItIsOpen() {
    FrmPopup->AddEntry(3, "kept");
    FrmPopup->show();
    FrmPopup->ClearIfHidden();
    QCOMPARE(FrmPopup->ListBox1->count(), 1);
    FrmPopup->hide();
    FrmPopup->ClearIfHidden();
    QCOMPARE(FrmPopup->ListBox1->count(), 0);
    QVERIFY(FrmPopup->MailIds.empty());
  }
};

}  // namespace rirevar

QTEST_MAIN(rirevar::NewMailTest)
#include "new_mail_test.moc"
