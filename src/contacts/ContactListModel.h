#pragma once

#include <QAbstractTableModel>
#include <QString>

#include <vector>

// The entries of the contact list: key "pk" + id, first name, last name.
// Filled in one pass from a reload, so a list of 100,000 contacts costs one
// model reset instead of one insertion per row.
class ContactListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Entry {
        qint64 id;
        QString firstName;
        QString lastName;
    };

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void replaceEntries(std::vector<Entry> entries);
    const Entry& entry(int row) const { return m_entries[size_t(row)]; }
    static QString keyOf(qint64 id) { return QStringLiteral("pk") + QString::number(id); }

    // The role under which data() answers an entry's key.
    static constexpr int KeyRole = Qt::UserRole + 1;

private:
    std::vector<Entry> m_entries;
};
