// The popup list: the messages a popup rule picked out, on top of the other windows.
#pragma once

#include <QWidget>
#include <string>
#include <vector>

class QListWidget;

namespace rirevar {

class TFrmPopup : public QWidget {
  Q_OBJECT

 public:
  TFrmPopup();

  QListWidget* ListBox1;
  // Parallel to the lines: the m_id of each.
  std::vector<std::string> MailIds;

  // Lines pile up while the window is open and start afresh once it was closed.
  void ClearIfHidden();
  void AddEntry(int mailId, const QString& text);
};

inline TFrmPopup* FrmPopup = nullptr;

}  // namespace rirevar
