#pragma once

#include "data/ContactStore.h"

#include <QAbstractTableModel>
#include <QString>

#include <atomic>
#include <memory>
#include <vector>

// The entries of the contact list: id, first name, last name. A reload
// swaps in a new set of names with one model reset. Sorted by a column, the
// model keeps the names as they came and orders a list of row numbers; a
// reload keeps the chosen column and order. The order of a large list is
// made off the window's thread by rowOrder() and handed in ready.
class ContactListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // Orders the entries by the column's text in the user's locale, case
    // ignored; column -1 restores the order the store listed them in.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    int sortColumn() const { return m_sortColumn; }

    // The names as they came, shared read-only with work off the window's
    // thread.
    using Names = std::shared_ptr<const ContactNames>;
    // New names with their order by the column (from rowOrder()).
    void replaceEntries(Names names, int column, Qt::SortOrder order, std::vector<int> rows);
    // Shows the same names in a new order by the column (from rowOrder()).
    void applyOrder(int column, Qt::SortOrder order, std::vector<int> rows);
    const Names& names() const { return m_names; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }

    // Shown row -> row of `names` by the column's text in the user's locale,
    // case ignored; empty for column -1 (the order they came in) and when
    // `stop` was set before the end. Safe on any thread.
    static std::vector<int> rowOrder(const ContactNames& names, int column, Qt::SortOrder order,
                                     const std::atomic<bool>* stop = nullptr);
    // By row as the list shows it.
    qint64 id(int row) const { return m_names->id(stored(row)); }
    QString firstName(int row) const { return m_names->firstName(stored(row)); }
    QString lastName(int row) const { return m_names->lastName(stored(row)); }

    // The longest name a list entry or its tooltip shows whole; the
    // display role answers the name whole.
    static constexpr qsizetype shownLength = 1'000;

private:
    int stored(int row) const { return m_order.empty() ? row : m_order[size_t(row)]; }

    Names m_names = std::make_shared<const ContactNames>();
    std::vector<int> m_order; // shown row -> row of m_names; empty while unsorted
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};
