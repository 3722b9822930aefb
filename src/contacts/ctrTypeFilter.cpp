#include "contacts/ctrTypeFilter.h"

#include "platform/Named.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QPushButton>
#include <QStyle>

#include <algorithm>
#include <optional>

namespace {

QPushButton* makeButton(QPushButton* button, const QString& name) {
    named(button, name);
    button->setAutoDefault(false);
    return button;
}

// A letter button asks for no more than its letter needs, so that the 26 of
// them fit a narrow window.
class LetterButton : public QPushButton {
public:
    using QPushButton::QPushButton;
    QSize sizeHint() const override {
        const int margins = style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, this) +
                            2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
        const int width = std::max(fontMetrics().horizontalAdvance(text()) + margins, 18);
        return {width, QPushButton::sizeHint().height()};
    }
    QSize minimumSizeHint() const override { return sizeHint(); }
};

} // namespace

// The strip's arrangement: one row while it fits; else the type buttons and
// "ALL" on a row of their own and the letters in as few even rows below as
// fit the width. Every button keeps at least its minimum width; what is left
// over goes to the buttons by weight.
class ctrTypeFilter::StripLayout : public QLayout {
public:
    explicit StripLayout(QWidget* parent) : QLayout(parent) {
        setContentsMargins(0, 0, 0, 0);
        setSpacing(2);
    }
    ~StripLayout() override {
        for (const Item& item : std::as_const(m_items))
            delete item.item;
    }

    // The type buttons come first, then the letters, then "ALL".
    void add(QWidget* widget, int weight, bool letter) {
        addChildWidget(widget);
        m_items << Item{new QWidgetItem(widget), weight, letter};
        invalidate();
    }

    void addItem(QLayoutItem* item) override {
        m_items << Item{item, 1, false};
        m_sizes.reset();
    }
    int count() const override { return int(m_items.size()); }
    QLayoutItem* itemAt(int index) const override {
        return index >= 0 && index < m_items.size() ? m_items[index].item : nullptr;
    }
    QLayoutItem* takeAt(int index) override {
        if (index < 0 || index >= m_items.size())
            return nullptr;
        m_sizes.reset();
        return m_items.takeAt(index).item;
    }
    Qt::Orientations expandingDirections() const override { return Qt::Horizontal; }
    void invalidate() override {
        m_sizes.reset();
        QLayout::invalidate();
    }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override {
        const QList<QList<int>> rows = rowsFor(width);
        return int(rows.size()) * rowHeight() + int(rows.size() - 1) * spacing();
    }
    QSize sizeHint() const override { return {rowWidth(allIndexes(), false), rowHeight()}; }
    QSize minimumSize() const override {
        // Never more than four rows of letters.
        const int letters = int(letterIndexes().size());
        const int perRow = (letters + 3) / 4;
        const int width = std::max(rowWidth(otherIndexes(), true),
                                   perRow * sizes().letterWidth + (perRow - 1) * spacing());
        return {width, heightForWidth(width)};
    }
    void setGeometry(const QRect& rect) override {
        QLayout::setGeometry(rect);
        int y = rect.y();
        for (const QList<int>& row : rowsFor(rect.width())) {
            placeRow(row, QRect(rect.x(), y, rect.width(), rowHeight()));
            y += rowHeight() + spacing();
        }
    }

private:
    struct Item {
        QLayoutItem* item;
        int weight;
        bool letter;
    };

    QList<int> indexes(int which) const { // 0 letters, 1 the others, 2 all
        QList<int> chosen;
        for (int i = 0; i < m_items.size(); ++i)
            if (which == 2 || m_items[i].letter == (which == 0))
                chosen << i;
        return chosen;
    }
    QList<int> letterIndexes() const { return indexes(0); }
    QList<int> otherIndexes() const { return indexes(1); }
    QList<int> allIndexes() const { return indexes(2); }

    // The buttons' sizes, asked of them once until the layout is
    // invalidated: a button measures its text each time it is asked, and
    // arranging the strip asks many times.
    struct Sizes {
        QList<int> minimum;
        QList<int> hint;
        int letterWidth = 0;
        int rowHeight = 0;
    };
    const Sizes& sizes() const {
        if (!m_sizes) {
            Sizes sizes;
            for (const Item& item : m_items) {
                const QSize hint = item.item->sizeHint();
                sizes.minimum << item.item->minimumSize().width();
                sizes.hint << hint.width();
                sizes.rowHeight = std::max(sizes.rowHeight, hint.height());
                if (item.letter)
                    sizes.letterWidth = std::max(sizes.letterWidth, sizes.minimum.last());
            }
            m_sizes = std::move(sizes);
        }
        return *m_sizes;
    }

    int widthOf(int index, bool minimum) const {
        return minimum ? sizes().minimum.value(index) : sizes().hint.value(index);
    }
    int rowWidth(const QList<int>& row, bool minimum) const {
        int width = std::max(0, int(row.size()) - 1) * spacing();
        for (int index : row)
            width += widthOf(index, minimum);
        return width;
    }
    int rowHeight() const { return sizes().rowHeight; }

    QList<QList<int>> rowsFor(int width) const {
        const QList<int> all = allIndexes();
        if (rowWidth(all, true) <= width)
            return {all};
        QList<QList<int>> rows{otherIndexes()};
        const QList<int> letters = letterIndexes();
        const int count = int(letters.size());
        const int letterWidth = sizes().letterWidth;
        int perRow = count;
        while (perRow > 1 && perRow * letterWidth + (perRow - 1) * spacing() > width)
            --perRow;
        // As many rows as that takes, filled evenly.
        const int rowCount = (count + perRow - 1) / perRow;
        const int even = (count + rowCount - 1) / rowCount;
        for (int first = 0; first < count; first += even)
            rows << letters.mid(first, even);
        return rows;
    }

    void placeRow(const QList<int>& row, const QRect& rect) const {
        const int spare = std::max(0, rect.width() - rowWidth(row, true));
        int weights = 0;
        for (int index : row)
            weights += m_items[index].weight;
        int x = rect.x();
        int given = 0, weightSoFar = 0;
        for (int index : row) {
            weightSoFar += m_items[index].weight;
            // Shares rounded on the running total, so the row ends flush.
            const int share = weights ? spare * weightSoFar / weights - given : 0;
            given += share;
            const int width = widthOf(index, true) + share;
            m_items[index].item->setGeometry(QRect(x, rect.y(), width, rect.height()));
            x += width + spacing();
        }
    }

    QList<Item> m_items;
    mutable std::optional<Sizes> m_sizes;
};

ctrTypeFilter::ctrTypeFilter(QWidget* parent) : QWidget(parent), m_layout(new StripLayout(this)) {
    setAccessibleName(tr("Contact type and last name filter"));

    auto* cmdPersonal =
        makeButton(new QPushButton(tr("Personal"), this), QStringLiteral("cmdPersonal"));
    auto* cmdBusiness =
        makeButton(new QPushButton(tr("Business"), this), QStringLiteral("cmdBusiness"));
    for (QPushButton* button : {cmdPersonal, cmdBusiness}) {
        QFont bold = button->font();
        bold.setBold(true);
        button->setFont(bold);
        addButton(button, 3, false);
    }
    cmdPersonal->setAccessibleName(tr("Personal contacts"));
    cmdBusiness->setAccessibleName(tr("Business contacts"));
    connect(cmdPersonal, &QPushButton::clicked, this, [this] { chooseType(TypeFilter::Personal); });
    connect(cmdBusiness, &QPushButton::clicked, this, [this] { chooseType(TypeFilter::Business); });

    // The letter buttons form one array, cmdA index 0 to 25.
    for (int index = 0; index < 26; ++index) {
        const QString letter(QChar(65 + index));
        auto* cmdA =
            makeButton(new LetterButton(letter, this), QStringLiteral("cmdA_%1").arg(index));
        cmdA->setProperty("index", index);
        cmdA->setAccessibleName(tr("Last names starting with %1").arg(letter));
        addButton(cmdA, 1, true);
        connect(cmdA, &QPushButton::clicked, this, [this, letter] { chooseLetter(letter); });
    }
    auto* cmdAll = makeButton(new QPushButton(tr("ALL"), this), QStringLiteral("cmdAll"));
    cmdAll->setAccessibleName(tr("All last names"));
    addButton(cmdAll, 2, false);
    connect(cmdAll, &QPushButton::clicked, this, [this] { chooseLetter(QStringLiteral("%")); });
    moveFocusTo(cmdPersonal);
}

void ctrTypeFilter::addButton(QPushButton* button, int weight, bool letter) {
    m_layout->add(button, weight, letter);
    m_buttons << button;
    button->installEventFilter(this);
}

// The button given becomes the strip's one Tab stop; the others are
// reached by the arrow keys or the mouse.
void ctrTypeFilter::moveFocusTo(QPushButton* button) {
    for (QPushButton* other : std::as_const(m_buttons))
        other->setFocusPolicy(other == button ? Qt::StrongFocus : Qt::ClickFocus);
    if (hasFocus() || isAncestorOf(QApplication::focusWidget()))
        button->setFocus(Qt::OtherFocusReason);
}

bool ctrTypeFilter::eventFilter(QObject* watched, QEvent* event) {
    auto* button = qobject_cast<QPushButton*>(watched);
    const qsizetype at = m_buttons.indexOf(button);
    if (at < 0)
        return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::FocusIn) {
        moveFocusTo(button);
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & ~Qt::KeypadModifier)
        return false;
    const bool reversed = layoutDirection() == Qt::RightToLeft;
    const qsizetype last = m_buttons.size() - 1;
    qsizetype to = -1;
    switch (key->key()) {
    case Qt::Key_Left:
        to = reversed ? at + 1 : at - 1;
        break;
    case Qt::Key_Right:
        to = reversed ? at - 1 : at + 1;
        break;
    case Qt::Key_Up:
        to = at - 1;
        break;
    case Qt::Key_Down:
        to = at + 1;
        break;
    case Qt::Key_Home:
        to = 0;
        break;
    case Qt::Key_End:
        to = last;
        break;
    default:
        return false;
    }
    moveFocusTo(m_buttons[std::clamp<qsizetype>(to, 0, last)]);
    return true;
}

void ctrTypeFilter::chooseType(TypeFilter type) {
    CurrentTypeFilter = type;
    emit RecordTypeChanged(CurrentTypeFilter);
}

void ctrTypeFilter::chooseLetter(const QString& letter) {
    CurrentRecordFilter = letter;
    emit RecordFilterChanged(CurrentRecordFilter);
}
