#include "mainwin/nuvnew.h"

#include <QAction>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QVBoxLayout>

#include "app/rirevar1.h"
#include "ui/window_settings.h"

namespace rirevar {

TFrmNew::TFrmNew() {
  SetUpWindow(*this, "FrmNew", QString::fromUtf8("新着ﾒｰﾙ"), WindowFrame::SizableTool, QSize(172, 232));
  MainMenu1 = new QMenuBar(this);
  MainMenu1->setObjectName("MainMenu1");
  QMenu* menu = MainMenu1->addMenu(QString::fromUtf8("ﾒﾆｭｰ(&M)"));
  N1 = menu->addAction(QString::fromUtf8("ﾘｽﾄｸﾘｱ(&C)"), this, &TFrmNew::N1Click);
  N1->setObjectName("N1");
  N1->setShortcut(QKeySequence("Alt+C"));
  menu->addSeparator()->setObjectName("N2");
  N3 = menu->addAction(QString::fromUtf8("閉じる"), this, &TFrmNew::N3Click);
  N3->setObjectName("N3");
  N3->setShortcut(QKeySequence(Qt::Key_Escape));
  ListBox1 = new QListWidget;
  ListBox1->setObjectName("ListBox1");
  ListBox1->setSelectionMode(QAbstractItemView::ExtendedSelection);
  StatusBar1 = new QStatusBar;
  StatusBar1->setObjectName("StatusBar1");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->setMenuBar(MainMenu1);
  layout->addWidget(ListBox1);
  layout->addWidget(StatusBar1);

  const Settings& settings = FrmNuv->Settings;
  if (!settings.Value("NewWidth").empty()) {
    RestoreBounds(*this, settings, {"NewLeft", "NewTop", "NewWidth", "NewHeight"});
  }
}

void TFrmNew::AddEntry(int mailId, const QString& text) {
  MailIds.push_back(std::to_string(mailId));
  ListBox1->addItem(text);
}

void TFrmNew::N1Click() {
  // Lines are the receive engine's to add while it runs.
  if (FrmNuv->ReceiveSelector != 254) return;
  ListBox1->clear();
  MailIds.clear();
}

void TFrmNew::N3Click() { hide(); }

}  // namespace rirevar
