// The rows of a list's result set as a Qt table model, for the grids.
#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <string>
#include <vector>

#include "app/database.h"

namespace rirevar {

class ResultSetModel : public QAbstractTableModel {
 public:
  explicit ResultSetModel(const ResultSet& rows, QObject* parent = nullptr);

  // The fields shown, in column order, with their titles; a field the rows lack shows empty.
  void SetColumns(std::vector<std::string> fields, QStringList titles);
  // The rows changed (fetched again, edited locally).
  void Reset();
  // The result-set field of a column, or -1.
  [[nodiscard]] int FieldOfColumn(int column) const;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

 private:
  const ResultSet& rows_;
  std::vector<std::string> fields_;
  QStringList titles_;
};

}  // namespace rirevar
