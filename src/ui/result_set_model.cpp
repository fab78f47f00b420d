#include "ui/result_set_model.h"

#include "ui/sjis_qstring.h"

namespace rirevar {

ResultSetModel::ResultSetModel(const ResultSet& rows, QObject* parent)
    : QAbstractTableModel(parent), rows_(rows) {}

void ResultSetModel::SetColumns(std::vector<std::string> fields, QStringList titles) {
  beginResetModel();
  fields_ = std::move(fields);
  titles_ = std::move(titles);
  endResetModel();
}

void ResultSetModel::Reset() {
  beginResetModel();
  endResetModel();
}

int ResultSetModel::FieldOfColumn(int column) const {
  if (column < 0 || column >= static_cast<int>(fields_.size())) return -1;
  return rows_.FieldIndex(fields_[column]);
}

int ResultSetModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : rows_.RowCount();
}

int ResultSetModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(fields_.size());
}

QVariant ResultSetModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rows_.RowCount()) return {};
  const int field = FieldOfColumn(index.column());
  if (field < 0) return QString();
  return ToQ(rows_.Text(index.row(), field));
}

QVariant ResultSetModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
  return titles_.value(section);
}

}  // namespace rirevar
