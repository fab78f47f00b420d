// The address book: folders on the left, the entries of the chosen folder on the right.
#pragma once

#include <QWidget>
#include <string>
#include <vector>

#include "ui/window_settings.h"

class QSplitter;
class QTableView;
class QTreeWidget;

namespace rirevar {

class TFrmAddress : public QWidget {
  Q_OBJECT

 public:
  TFrmAddress();

  QSplitter* Splitter1;
  QTreeWidget* TreeView1;
  QTableView* DBGrid1;
  ControlFont DBGrid1Font;
  ControlFont TreeView1Font;

  // The entry list's columns: field names and widths, in display order.
  std::vector<std::string> AddressColumnFields;
  std::vector<std::string> AddressColumnWidths;

  void SaveGeometry(Settings& settings) const;

 private:
  PaneSize treeWidth_;
  // The grid fills what the tree and the button strip leave; its height is kept as read.
  int gridHeight_;
};

inline TFrmAddress* FrmAddress = nullptr;

}  // namespace rirevar
