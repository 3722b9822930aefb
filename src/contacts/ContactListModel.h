#pragma once

#include "data/ContactStore.h"

#include <QAbstractTableModel>
#include <QString>

// The entries of the contact list: id, first name, last name. A reload
// swaps in a new set of names with one model reset.
class ContactListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void replaceEntries(ContactNames names);
    qint64 id(int row) const { return m_names.id(row); }
    QString firstName(int row) const { return m_names.firstName(row); }
    QString lastName(int row) const { return m_names.lastName(row); }

    // The longest name a list entry or its tooltip shows whole; the
    // display role answers the name whole.
    static constexpr qsizetype shownLength = 1'000;

private:
    ContactNames m_names;
};
