// The grids' view of a result set: columns chosen by field name, Shift-JIS shown as text, local
// edits showing once the model is told.
#include <QtTest>

#include "app/database.h"
#include "ui/result_set_model.h"
#include "ui/sjis_qstring.h"

namespace rirevar {

class ResultSetModelTest : public QObject {
  Q_OBJECT

 private:
  static ResultSet Rows() {
    return ResultSet({"m_id", "subject", "mailfrom"},
                     {{std::string("1"), std::string("\x82\xa0"), std::nullopt},
                      {std::string("2"), std::string("plain"), std::string("a@example.jp")}});
  }

 private slots:
  void showsTheChosenFieldsInColumnOrder() {
    const ResultSet rows = Rows();
    ResultSetModel model(rows);
    model.SetColumns({"subject", "MAILFROM", "missing"}, {QString::fromUtf8("件名"), "From", "?"});
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(model.columnCount(), 3);
    QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QString::fromUtf8("件名"));
    QCOMPARE(model.data(model.index(0, 0)).toString(), QString::fromUtf8("あ"));
    QCOMPARE(model.data(model.index(0, 1)).toString(), QString());  // NULL
    QCOMPARE(model.data(model.index(1, 1)).toString(), QStringLiteral("a@example.jp"));
    QCOMPARE(model.data(model.index(1, 2)).toString(), QString());
    QCOMPARE(model.FieldOfColumn(1), 2);
    QCOMPARE(model.FieldOfColumn(2), -1);
  }

  void localEditsShowAfterReset() {
    ResultSet rows = Rows();
    ResultSetModel model(rows);
    model.SetColumns({"subject"}, {"s"});
    rows.DeleteRow(0);
    rows.SetField(0, 1, std::string("changed"));
    model.Reset();
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(model.data(model.index(0, 0)).toString(), QStringLiteral("changed"));
    rows.DiscardChanges();
    model.Reset();
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(model.data(model.index(1, 0)).toString(), QStringLiteral("plain"));
  }
};

}  // namespace rirevar

QTEST_MAIN(rirevar::ResultSetModelTest)
#include "result_set_model_test.moc"
