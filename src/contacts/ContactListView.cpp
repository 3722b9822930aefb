#include "contacts/ContactListView.h"

#include "contacts/ContactListModel.h"
#include "contacts/DisplayText.h"

#include <QApplication>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QSignalBlocker>
#include <QStyledItemDelegate>

namespace {

// Draws each name cut to what a column can show: laying out a name of
// megabytes on every paint would freeze the list.
class ShortenedNameDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->text = shortenedForDisplay(option->text, ContactListModel::shownLength);
    }
};

} // namespace

ContactListView::ContactListView(QWidget* parent)
    : QTreeView(parent), m_model(new ContactListModel(this)) {
    setModel(m_model);
    setItemDelegate(new ShortenedNameDelegate(this));
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setItemsExpandable(false);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    header()->setSectionResizeMode(QHeaderView::Stretch);
    header()->setSectionsMovable(false);
    // A click on a column's header sorts by it, a second click the other way;
    // until the first click the entries stay in the order they were listed.
    header()->setSectionsClickable(true);
    header()->setSortIndicatorShown(true);
    header()->setSortIndicator(-1, Qt::AscendingOrder);
    connect(header(), &QHeaderView::sortIndicatorChanged, this, &ContactListView::sortRequested);
    setAccessibleName(tr("Contacts"));
    header()->setAccessibleName(tr("Contact list columns"));
    // The header is a Tab stop of its own, so sorting needs no mouse.
    header()->setFocusPolicy(Qt::TabFocus);
    header()->installEventFilter(this);

    connect(this, &QAbstractItemView::doubleClicked, this, &ContactListView::editRequested);
    connect(this, &QAbstractItemView::clicked, this,
            [this](const QModelIndex& index) { emit entryClicked(m_model->id(index.row())); });
    // Moving through the list with the keyboard shows each contact too; a
    // mouse press is left to the click above so a click shows it once.
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid() && QApplication::mouseButtons() == Qt::NoButton &&
                    hasFocus() && !m_focusReturning)
                    emit entryClicked(m_model->id(current.row()));
            });
}

void ContactListView::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        currentIndex().isValid()) {
        emit editRequested();
        return;
    }
    QTreeView::keyPressEvent(event);
}

// Focus given to the list by the program (back from a pane) or coming back
// with the window (a dialog or the progress closed) puts the cursor on the
// first entry when there was none: no choice of the user's, so it shows no
// contact; the details keep the one the last reload showed.
void ContactListView::focusInEvent(QFocusEvent* event) {
    const Qt::FocusReason reason = event->reason();
    m_focusReturning = reason == Qt::OtherFocusReason || reason == Qt::ActiveWindowFocusReason ||
                       reason == Qt::PopupFocusReason;
    QTreeView::focusInEvent(event);
    m_focusReturning = false;
}

// The sort indicator marks the column the keys act on: Left and Right sort
// by the neighbouring column, Space or Enter sorts the other way, as a second
// click does.
bool ContactListView::eventFilter(QObject* watched, QEvent* event) {
    if (watched != header() || event->type() != QEvent::KeyPress)
        return QTreeView::eventFilter(watched, event);
    QHeaderView* columns = header();
    const int sorted = columns->sortIndicatorSection();
    const int last = m_model->columnCount() - 1;
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Left || key == Qt::Key_Right) {
        const bool forward = (key == Qt::Key_Right) == (layoutDirection() == Qt::LeftToRight);
        const int to = sorted < 0 || sorted > last
                           ? (forward ? 0 : last)
                           : std::clamp(sorted + (forward ? 1 : -1), 0, last);
        if (to != sorted)
            columns->setSortIndicator(to, Qt::AscendingOrder);
        return true;
    }
    if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) {
        const bool ascending = columns->sortIndicatorOrder() == Qt::AscendingOrder;
        if (sorted < 0 || sorted > last)
            columns->setSortIndicator(0, Qt::AscendingOrder);
        else
            columns->setSortIndicator(sorted, ascending ? Qt::DescendingOrder : Qt::AscendingOrder);
        return true;
    }
    return QTreeView::eventFilter(watched, event);
}

bool ContactListView::selectContact(qint64 id) {
    for (int row = 0; row < m_model->rowCount(); ++row) {
        if (m_model->id(row) != id)
            continue;
        const QModelIndex index = m_model->index(row, 0);
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                     QItemSelectionModel::Rows);
        scrollTo(index);
        return true;
    }
    return false;
}

int ContactListView::entryCount() const {
    return m_model->rowCount();
}

int ContactListView::selectedRow() const {
    const QModelIndex current = currentIndex();
    if (current.isValid() && selectionModel()->isRowSelected(current.row(), {}))
        return current.row();
    const QModelIndexList rows = selectionModel()->selectedRows();
    int first = -1;
    for (const QModelIndex& index : rows)
        if (first < 0 || index.row() < first)
            first = index.row();
    return first;
}

std::optional<qint64> ContactListView::selectedId() const {
    const int row = selectedRow();
    return row < 0 ? std::nullopt : std::optional(m_model->id(row));
}

QString ContactListView::selectedText() const {
    const int row = selectedRow();
    return row < 0 ? QString() : m_model->firstName(row);
}

QList<qint64> ContactListView::selectedIds() const {
    QList<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    QList<qint64> ids;
    for (int row : std::as_const(rows))
        ids << m_model->id(row);
    return ids;
}

int ContactListView::requestedSortColumn() const {
    return header()->sortIndicatorSection() < m_model->columnCount()
               ? header()->sortIndicatorSection()
               : -1;
}

Qt::SortOrder ContactListView::requestedSortOrder() const {
    return header()->sortIndicatorOrder();
}

void ContactListView::showModelOrder() {
    const QSignalBlocker quiet(header());
    header()->setSortIndicator(m_model->sortColumn(), m_model->sortOrder());
}
