#pragma once

#include <QList>
#include <QTreeView>

#include <optional>

class ContactListModel;

// lvContacts: the contact list in report view, two columns of equal width,
// several entries selectable at once. The commands that act on one contact
// take its selected entry; those that act on a selection take every entry
// whose selected flag is set.
class ContactListView : public QTreeView {
    Q_OBJECT
public:
    explicit ContactListView(QWidget* parent = nullptr);

    ContactListModel* contacts() const { return m_model; }
    int entryCount() const;

    // The selected entry: the current entry when it is selected, else the
    // first selected one; -1 when nothing is selected.
    int selectedRow() const;
    std::optional<qint64> selectedId() const;
    QString selectedText() const; // the entry's first name
    // The ids of every selected entry, in list order; empty when nothing is
    // selected.
    QList<qint64> selectedIds() const;
    // The column and order a header click asked for, which the list shows
    // once the entries are in that order.
    int requestedSortColumn() const;
    Qt::SortOrder requestedSortOrder() const;
    // The header's mark back on the order the entries are in.
    void showModelOrder();
    // Makes the contact's entry the current and only selected one, in view;
    // false when it is not listed.
    bool selectContact(qint64 id);

signals:
    // The user picked an entry by mouse or keyboard.
    void entryClicked(qint64 id);
    // A double click, or Enter, on an entry.
    void editRequested();
    // A click on a column's header: sort by it, a second click the other way.
    void sortRequested(int column, Qt::SortOrder order);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    // The header's keys, for sorting without a mouse.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ContactListModel* m_model;
    bool m_focusReturning = false;
};
