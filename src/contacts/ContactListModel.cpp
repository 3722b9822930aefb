#include "contacts/ContactListModel.h"

#include "contacts/DisplayText.h"

void ContactListModel::Entries::add(qint64 id, const char* firstName, int firstLength,
                                    const char* lastName, int lastLength) {
    m_rows.push_back({id, m_names.size(), firstLength, lastLength});
    m_names.append(firstName, size_t(firstLength));
    m_names.append(lastName, size_t(lastLength));
}

void ContactListModel::Entries::reserve(size_t count) {
    m_rows.reserve(count);
    m_names.reserve(count * 16);
}

int ContactListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_entries.m_rows.size());
}

int ContactListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 2;
}

QString ContactListModel::firstName(int row) const {
    const Entries::Row& r = m_entries.m_rows[size_t(row)];
    return QString::fromUtf8(m_entries.m_names.data() + r.firstAt, r.firstLength);
}

QString ContactListModel::lastName(int row) const {
    const Entries::Row& r = m_entries.m_rows[size_t(row)];
    return QString::fromUtf8(m_entries.m_names.data() + r.firstAt + r.firstLength, r.lastLength);
}

QVariant ContactListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    if (role == Qt::DisplayRole)
        return index.column() == 0 ? firstName(index.row()) : lastName(index.row());
    if (role == Qt::ToolTipRole)
        return shortenedForDisplay(
            index.column() == 0 ? firstName(index.row()) : lastName(index.row()), shownLength);
    if (role == KeyRole)
        return keyOf(id(index.row()));
    return {};
}

QVariant ContactListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == 0 ? QStringLiteral("First Name") : QStringLiteral("Last Name");
}

void ContactListModel::replaceEntries(Entries entries) {
    beginResetModel();
    m_entries = std::move(entries);
    endResetModel();
}
