#include "contacts/ContactListModel.h"

#include "contacts/DisplayText.h"

#include <QCollator>

#include <algorithm>
#include <numeric>

int ContactListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_names->size();
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

void ContactListModel::replaceEntries(Names names, int column, Qt::SortOrder order,
                                      std::vector<int> rows) {
    beginResetModel();
    m_names = std::move(names);
    m_sortColumn = column;
    m_sortOrder = order;
    m_order = std::move(rows);
    endResetModel();
}

void ContactListModel::sort(int column, Qt::SortOrder order) {
    // The other way round by the same column needs no new sort.
    if (column == m_sortColumn && column >= 0 && order != m_sortOrder) {
        std::vector<int> reversed(m_order.rbegin(), m_order.rend());
        applyOrder(column, order, std::move(reversed));
    } else {
        applyOrder(column, order, rowOrder(*m_names, column, order));
    }
}

void ContactListModel::applyOrder(int column, Qt::SortOrder order, std::vector<int> rows) {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // The selection and the current entry stay on the same contacts.
    const QModelIndexList before = persistentIndexList();
    std::vector<int> storedRows;
    storedRows.reserve(size_t(before.size()));
    for (const QModelIndex& index : before)
        storedRows.push_back(stored(index.row()));

    m_sortColumn = column;
    m_sortOrder = order;
    m_order = std::move(rows);

    const int count = m_names->size();
    std::vector<int> shownRow(static_cast<size_t>(count));
    for (int row = 0; row < count; ++row)
        shownRow[size_t(stored(row))] = row;
    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype i = 0; i < before.size(); ++i)
        after << index(shownRow[size_t(storedRows[size_t(i)])], before[i].column());
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

std::vector<int> ContactListModel::rowOrder(const ContactNames& names, int column,
                                            Qt::SortOrder order, const std::atomic<bool>* stop) {
    if (column < 0 || column > 1)
        return {};
    const int count = names.size();
    auto stopped = [stop] { return stop && stop->load(std::memory_order_relaxed); };

    // The C locale has no order of its own beyond code points, and there
    // the collator would heed case; such a user gets the common order.
    const QLocale locale;
    QCollator collator(locale.language() == QLocale::C ? QLocale(QLocale::English) : locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(false);
    // One key per row, made once: a sort compares each row many times. Past
    // what the list shows, a name's tail does not decide its place.
    std::vector<QCollatorSortKey> keys;
    keys.reserve(size_t(count));
    for (int row = 0; row < count; ++row) {
        if (row % 4096 == 0 && stopped())
            return {};
        const QString name = column == 0 ? names.firstName(row) : names.lastName(row);
        keys.push_back(collator.sortKey(name.left(shownLength)));
    }
    std::vector<int> rows(static_cast<size_t>(count));
    std::iota(rows.begin(), rows.end(), 0);
    // Equal names keep the store's order; descending is the exact reverse.
    std::stable_sort(rows.begin(), rows.end(),
                     [&](int a, int b) { return keys[size_t(a)].compare(keys[size_t(b)]) < 0; });
    if (order == Qt::DescendingOrder)
        std::reverse(rows.begin(), rows.end());
    return rows;
}
