#include "address/nuvaddress.h"

#include <QHeaderView>
#include <QSplitter>
#include <QTableView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/rirevar1.h"
#include "app/setting_values.h"
#include "ui/font_mapping.h"

namespace rirevar {

namespace {
constexpr int kDesignTreeWidth = 70;
constexpr int kDesignGridHeight = 236;
}  // namespace

TFrmAddress::TFrmAddress()
    : Splitter1(new QSplitter(Qt::Horizontal)),
      treeWidth_(*Splitter1, kDesignTreeWidth),
      gridHeight_(kDesignGridHeight) {
  SetUpWindow(*this, "FrmAddress", QString::fromUtf8("ｱﾄﾞﾚｽ帳"), WindowFrame::Sizable, QSize(406, 292));
  move(238, 92);
  FontSpec windowFont;
  windowFont.height = -12;
  windowFont.size = 9;
  setFont(ToQFont(windowFont));
  TreeView1 = new QTreeWidget;
  TreeView1->setObjectName("TreeView1");
  TreeView1->setHeaderHidden(true);
  TreeView1->setIndentation(19);
  DBGrid1 = new QTableView;
  DBGrid1->setObjectName("DBGrid1");
  DBGrid1->verticalHeader()->hide();
  Splitter1->setObjectName("Splitter1");
  Splitter1->setHandleWidth(4);
  Splitter1->setChildrenCollapsible(false);
  Splitter1->addWidget(TreeView1);
  Splitter1->addWidget(DBGrid1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(Splitter1);
  treeWidth_.Apply();

  const Settings& settings = FrmNuv->Settings;
  AddressColumnFields = SplitFields(settings.Value("ColAddress"), '|');
  AddressColumnWidths = SplitFields(settings.Value("ColAddressSize"), '|');
  if (!settings.Value("AdWidth").empty()) {
    RestoreBounds(*this, settings, {"AdLeft", "AdTop", "AdWidth", "AdHeight"});
    treeWidth_.Restore(settings, "AdFrmBodyW");
    gridHeight_ = IntValue(settings, "AdFrmBodyH").value_or(gridHeight_);
    RestoreFont(*DBGrid1, DBGrid1Font, settings, "DBMailGridFont");
    RestoreFont(*TreeView1, TreeView1Font, settings, "TreeFont");
  }
}

void TFrmAddress::SaveGeometry(Settings& settings) const {
  SaveBounds(*this, settings, {"AdLeft", "AdTop", "AdWidth", "AdHeight"});
  treeWidth_.Save(settings, "AdFrmBodyW");
  settings.SetValue("AdFrmBodyH", std::to_string(gridHeight_));
}

}  // namespace rirevar
