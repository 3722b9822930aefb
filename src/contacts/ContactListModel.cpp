#include "contacts/ContactListModel.h"

#include "contacts/DisplayText.h"
#include "platform/BusyCursor.h"

#include <QCollator>

#include <algorithm>
#include <numeric>
#include <optional>

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
    orderRows();
    endResetModel();
}

void ContactListModel::sort(int column, Qt::SortOrder order) {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // The selection and the current entry stay on the same contacts.
    const QModelIndexList before = persistentIndexList();
    std::vector<int> storedRows;
    storedRows.reserve(size_t(before.size()));
    for (const QModelIndex& index : before)
        storedRows.push_back(stored(index.row()));

    // The other way round by the same column needs no new sort.
    const bool reversing = column == m_sortColumn && column >= 0 && order != m_sortOrder;
    m_sortColumn = column;
    m_sortOrder = order;
    if (reversing)
        std::reverse(m_order.begin(), m_order.end());
    else
        orderRows();

    std::vector<int> shownRow(size_t(m_names.size()));
    for (int row = 0; row < m_names.size(); ++row)
        shownRow[size_t(stored(row))] = row;
    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype i = 0; i < before.size(); ++i)
        after << index(shownRow[size_t(storedRows[size_t(i)])], before[i].column());
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void ContactListModel::orderRows() {
    m_order.clear();
    if (m_sortColumn < 0 || m_sortColumn > 1)
        return;
    const int count = m_names.size();
    // A large book takes a moment or two.
    std::optional<platform::BusyCursor> busy;
    if (count > 20'000)
        busy.emplace();

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
        const QString name = m_sortColumn == 0 ? m_names.firstName(row) : m_names.lastName(row);
        keys.push_back(collator.sortKey(name.left(shownLength)));
    }
    m_order.resize(size_t(count));
    std::iota(m_order.begin(), m_order.end(), 0);
    // Equal names keep the store's order; descending is the exact reverse.
    std::stable_sort(m_order.begin(), m_order.end(),
                     [&](int a, int b) { return keys[size_t(a)].compare(keys[size_t(b)]) < 0; });
    if (m_sortOrder == Qt::DescendingOrder)
        std::reverse(m_order.begin(), m_order.end());
}
