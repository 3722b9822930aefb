#pragma once

#include <QAbstractTableModel>
#include <QString>

#include <string>
#include <vector>

// The entries of the contact list: key "pk" + id, first name, last name.
// A reload fills a new set of entries in one pass and swaps it in with one
// model reset. The names of all entries share one UTF-8 buffer and become
// text only when a row is shown, so listing 100,000 contacts costs no
// allocation per row.
class ContactListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    class Entries {
    public:
        void add(qint64 id, const char* firstName, int firstLength, const char* lastName,
                 int lastLength);
        void reserve(size_t count);
        size_t size() const { return m_rows.size(); }

    private:
        friend class ContactListModel;
        struct Row {
            qint64 id;
            size_t firstAt;
            int firstLength;
            int lastLength; // the last name follows the first name in the buffer
        };
        std::vector<Row> m_rows;
        std::string m_names;
    };

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void replaceEntries(Entries entries);
    qint64 id(int row) const { return m_entries.m_rows[size_t(row)].id; }
    QString firstName(int row) const;
    QString lastName(int row) const;
    static QString keyOf(qint64 id) { return QStringLiteral("pk") + QString::number(id); }

    // The longest name a list entry or its tooltip shows whole; the
    // display role answers the name whole.
    static constexpr qsizetype shownLength = 1'000;

    // The role under which data() answers an entry's key.
    static constexpr int KeyRole = Qt::UserRole + 1;

private:
    Entries m_entries;
};
