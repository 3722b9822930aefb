#include "contacts/ContactListModel.h"

#include "contacts/DisplayText.h"

int ContactListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_names.size();
}

int ContactListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 2;
}

QVariant ContactListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    if (role == Qt::DisplayRole)
        return index.column() == 0 ? firstName(index.row()) : lastName(index.row());
    if (role == Qt::ToolTipRole)
        return shortenedForDisplay(
            index.column() == 0 ? firstName(index.row()) : lastName(index.row()), shownLength);
    return {};
}

QVariant ContactListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == 0 ? tr("First Name") : tr("Last Name");
}

void ContactListModel::replaceEntries(ContactNames names) {
    beginResetModel();
    m_names = std::move(names);
    endResetModel();
}
