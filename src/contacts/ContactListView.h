#pragma once

#include <QStringList>
#include <QTreeView>

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
    bool hasSelectedEntry() const { return selectedRow() >= 0; }
    QString selectedKey() const;  // "pk" + id, empty without a selection
    QString selectedText() const; // the entry's first name
    // The ids of every selected entry, in list order, separated by single
    // commas ("12,15,40"); empty when nothing is selected.
    QString selectedIdList() const;

signals:
    // The user picked an entry by mouse or keyboard; carries its key.
    void entryClicked(const QString& key);
    // A double click, or Enter, on an entry.
    void editRequested();
    // The Delete key in the list.
    void deleteRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QList<int> selectedRowsInOrder() const;

    ContactListModel* m_model;
};
