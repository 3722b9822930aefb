#include "editor/ctrRecord.h"

#include "data/ContactStore.h"
#include "data/DbError.h"
#include "data/SqlQuote.h"
#include "platform/MessageBoxes.h"
#include "platform/Named.h"

#include <QAccessibleWidget>
#include <QAction>
#include <QComboBox>
#include <QFormLayout>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <limits>

namespace {

QPlainTextEdit* multiLineBox(const char* name) {
    auto* box = named(new QPlainTextEdit, name);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // Tab moves on to the next box, as in every other box of the editor.
    box->setTabChangesFocus(true);
    return box;
}

// A form on one tab: each box under its label's caption, growing with the pane.
QFormLayout* formOn(QWidget* page) {
    auto* form = new QFormLayout(page);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->setRowWrapPolicy(QFormLayout::DontWrapRows);
    form->setLabelAlignment(Qt::AlignLeft);
    return form;
}

// Adds a box with its label; a box txtCity gets the label lblCity.
template <typename W> W* addLabelled(QFormLayout* form, const QString& caption, W* box) {
    auto* label = new QLabel(caption);
    named(label, QStringLiteral("lbl") + box->objectName().mid(3));
    label->setBuddy(box);
    form->addRow(label, box);
    return box;
}

QLineEdit* addLineBox(QFormLayout* form, const char* name, const QString& caption) {
    auto* box = named(new QLineEdit, name);
    // The boxes have no length limit: a longer pasted text is never cut short.
    box->setMaxLength(std::numeric_limits<int>::max());
    return addLabelled(form, caption, box);
}

// Stored multi-line values end their lines with CR LF; a box shows "\n".
QString storedText(const QPlainTextEdit* box) {
    // The raw text keeps what was typed (a no-break space stays one); only
    // the paragraph and line separators of the document become CR LF.
    QString text = box->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1String("\r\n"));
    text.replace(QChar::LineSeparator, QLatin1String("\r\n"));
    return text;
}

QString shownText(const QString& stored) {
    QString text = stored;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return text;
}

QString boxText(const QWidget* box) {
    if (const auto* line = qobject_cast<const QLineEdit*>(box))
        return line->text();
    return storedText(static_cast<const QPlainTextEdit*>(box));
}

void setBoxText(QWidget* box, const QString& stored) {
    if (auto* line = qobject_cast<QLineEdit*>(box)) {
        line->setText(stored);
        line->setCursorPosition(0);
    } else {
        static_cast<QPlainTextEdit*>(box)->setPlainText(shownText(stored));
    }
}

// The record type box as screen readers get it: named by its label, its
// value the type it shows, opened by its action. The toolkit's own combo box
// interface names the box by its value on this platform.
class LabelledTypeBox : public QAccessibleWidget {
public:
    explicit LabelledTypeBox(QComboBox* box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value)
            return box()->currentText();
        return QAccessibleWidget::text(t);
    }
    QStringList actionNames() const override {
        return QStringList{showMenuAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& actionName) override {
        if (actionName == showMenuAction())
            box()->showPopup();
        else
            QAccessibleWidget::doAction(actionName);
    }

private:
    QComboBox* box() const { return static_cast<QComboBox*>(widget()); }
};

constexpr char labelledTypeBox[] = "labelledTypeBox";

QAccessibleInterface* labelledTypeBoxFactory(const QString&, QObject* object) {
    auto* box = qobject_cast<QComboBox*>(object);
    return box && box->property(labelledTypeBox).toBool() ? new LabelledTypeBox(box) : nullptr;
}

} // namespace

ctrRecord::ctrRecord(QWidget* parent) : QWidget(parent) {
    buildControls();
    cmdRecordType->addItem(tr("Personal"));
    cmdRecordType->addItem(tr("Business"));

    connect(cmdSave, &QPushButton::clicked, this, &ctrRecord::cmdSave_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &ctrRecord::OperationCancelled);
    buildKeys();
}

// The pane's keys work from any of its boxes, and only there: Ctrl+Return
// saves; Escape leaves, asking first when something was typed; Ctrl+Tab,
// Ctrl+Shift+Tab, Ctrl+PageDown and Ctrl+PageUp turn the pages. Enter in a
// one-line box presses Save, the default button.
void ctrRecord::buildKeys() {
    auto key = [this](const char* name, const QList<QKeySequence>& sequences) {
        auto* action = named(new QAction(this), name);
        action->setShortcuts(sequences);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(action);
        return action;
    };
    connect(key("keySave",
                {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)}),
            &QAction::triggered, cmdSave, &QPushButton::click);
    connect(key("keyCancel", {QKeySequence(QKeySequence::Cancel)}), &QAction::triggered, this,
            &ctrRecord::leaveAfterAsking);
    connect(key("keyNextPage",
                {QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown)}),
            &QAction::triggered, this, [this] { turnPage(1); });
    connect(key("keyPreviousPage", {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
                                    QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab),
                                    QKeySequence(Qt::CTRL | Qt::Key_PageUp)}),
            &QAction::triggered, this, [this] { turnPage(-1); });

    cmdSave->setDefault(true);
    cmdCancel->setAutoDefault(false);
    for (auto* box : findChildren<QLineEdit*>())
        connect(box, &QLineEdit::returnPressed, cmdSave, &QPushButton::click);
}

// The page and its tab change together, and the focus goes to the first box
// of the page, so nothing typed lands on a page out of sight.
void ctrRecord::turnPage(int step) {
    const int count = SSTab1->count();
    SSTab1->setCurrentIndex((SSTab1->currentIndex() + step + count) % count);
    for (QWidget* box : std::as_const(m_keyboardOrder))
        if (SSTab1->currentWidget()->isAncestorOf(box)) {
            box->setFocus(Qt::TabFocusReason);
            break;
        }
}

bool ctrRecord::hasChanges() const {
    const Contact typed = typedContact();
    if (typed.type != m_startedWith.type)
        return true;
    for (const auto& [field, box] : fieldBoxes())
        if (typed.*field != m_startedWith.*field)
            return true;
    return false;
}

bool ctrRecord::mayDiscardChanges() {
    return !hasChanges() || platform::askYesNo(tr("Discard your changes?"));
}

void ctrRecord::leaveAfterAsking() {
    if (mayDiscardChanges())
        emit OperationCancelled();
}

void ctrRecord::buildControls() {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    frameAddUpdateRecord = named(new QGroupBox(tr("Add Record"), this), "frameAddUpdateRecord");
    outer->addWidget(frameAddUpdateRecord);
    auto* frameLayout = new QVBoxLayout(frameAddUpdateRecord);

    SSTab1 = named(new QTabWidget(frameAddUpdateRecord), "SSTab1");
    frameLayout->addWidget(SSTab1, 1);

    auto* namePage = named(new QWidget, "tabName");
    auto* nameForm = formOn(namePage);
    txtFirstName = addLineBox(nameForm, "txtFirstName", tr("First Name"));
    txtMiddleName = addLineBox(nameForm, "txtMiddleName", tr("Middle Name"));
    txtLastName = addLineBox(nameForm, "txtLastName", tr("Last Name"));
    txtGuardianName = addLineBox(nameForm, "txtGuardianName", tr("Parent Or Guadrian Name"));
    auto* separator = named(new QFrame, "lineSeparator");
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);
    nameForm->addRow(separator);
    // A fixed list: a typed text matching no entry would write type 0, and a
    // contact of type 0 appears in no list.
    cmdRecordType = named(new QComboBox, "cmdRecordType");
    // Read out by its label, as the boxes are, not by the type it shows (set
    // before anything asks the box for its interface).
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(labelledTypeBoxFactory);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    cmdRecordType->setProperty(labelledTypeBox, true);
    cmdRecordType->setEditable(false);
    cmdRecordType->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    cmdRecordType->setMinimumContentsLength(12);
    addLabelled(nameForm, tr("Record type"), cmdRecordType);
    cmdRecordType->setAccessibleName(tr("Record type"));
    SSTab1->addTab(namePage, tr("Name"));

    auto* addressPage = named(new QWidget, "tabAddress");
    auto* addressForm = formOn(addressPage);
    txtAddress = addLabelled(addressForm, tr("Address"), multiLineBox("txtAddress"));
    txtCity = addLineBox(addressForm, "txtCity", tr("City"));
    txtState = addLineBox(addressForm, "txtState", tr("State"));
    txtZipCode = addLineBox(addressForm, "txtZipCode", tr("Zip code"));
    SSTab1->addTab(addressPage, tr("Address"));

    auto* contactPage = named(new QWidget, "tabContact");
    auto* contactForm = formOn(contactPage);
    txtWorkPhone = addLineBox(contactForm, "txtWorkPhone", tr("Work phone"));
    txtHomePhone = addLineBox(contactForm, "txtHomePhone", tr("Home phone"));
    txtCellPhone = addLineBox(contactForm, "txtCellPhone", tr("Cell phone"));
    txtEmail = addLineBox(contactForm, "txtEmail", tr("Email"));
    SSTab1->addTab(contactPage, tr("Contact"));

    auto* commentsPage = named(new QWidget, "tabComments");
    auto* commentsLayout = new QVBoxLayout(commentsPage);
    txtComments = multiLineBox("txtComments");
    txtComments->setAccessibleName(tr("Comments"));
    commentsLayout->addWidget(txtComments);
    SSTab1->addTab(commentsPage, tr("Comments"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    cmdSave = named(new QPushButton(tr("Save"), frameAddUpdateRecord), "cmdSave");
    cmdCancel = named(new QPushButton(tr("Cancel"), frameAddUpdateRecord), "cmdCancel");
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdCancel);
    frameLayout->addLayout(buttons);
    SSTab1->setAccessibleName(tr("Contact details"));
    SSTab1->tabBar()->setAccessibleName(tr("Contact details pages"));

    m_keyboardOrder = {txtFirstName,  txtMiddleName, txtLastName,  txtGuardianName,
                       cmdRecordType, txtAddress,    txtCity,      txtState,
                       txtZipCode,    txtWorkPhone,  txtHomePhone, txtCellPhone,
                       txtEmail,      txtComments,   cmdSave,      cmdCancel};
    for (int i = 1; i < m_keyboardOrder.size(); ++i)
        setTabOrder(m_keyboardOrder[i - 1], m_keyboardOrder[i]);
}

// The thirteen text boxes with the member of Contact each one edits.
QList<std::pair<QString Contact::*, QWidget*>> ctrRecord::fieldBoxes() const {
    return {{&Contact::firstName, txtFirstName}, {&Contact::middleName, txtMiddleName},
            {&Contact::lastName, txtLastName},   {&Contact::address, txtAddress},
            {&Contact::city, txtCity},           {&Contact::state, txtState},
            {&Contact::zipCode, txtZipCode},     {&Contact::workPhone, txtWorkPhone},
            {&Contact::homePhone, txtHomePhone}, {&Contact::cellPhone, txtCellPhone},
            {&Contact::email, txtEmail},         {&Contact::guardian, txtGuardianName},
            {&Contact::comments, txtComments}};
}

Contact ctrRecord::typedContact() const {
    Contact contact;
    contact.id = m_loaded ? m_loaded->id : 0;
    for (const auto& [field, box] : fieldBoxes())
        contact.*field = boxText(box);
    // The list position plus one: Personal first, Business second.
    contact.type =
        cmdRecordType->currentIndex() == 0 ? ContactType::Personal : ContactType::Business;
    return contact;
}

void ctrRecord::startAdding(ContactType preselected) {
    bIsUpdateRequest = false;
    setupcontrol();
    cmdRecordType->setCurrentIndex(preselected == ContactType::Personal ? 0 : 1);
    m_startedWith = typedContact();
}

bool ctrRecord::startEditing(qint64 id) {
    bIsUpdateRequest = true;
    const bool loaded = LoadRecordForEditing(id);
    m_startedWith = typedContact();
    return loaded;
}

void ctrRecord::setupcontrol() {
    if (bIsUpdateRequest) {
        frameAddUpdateRecord->setTitle(tr("Update details"));
        cmdSave->setText(tr("Update"));
    } else {
        frameAddUpdateRecord->setTitle(tr("Add details"));
        cmdSave->setText(tr("Save"));
    }
    for (const auto& [field, box] : fieldBoxes())
        setBoxText(box, QString());
    cmdRecordType->setCurrentIndex(1);
}

bool ctrRecord::LoadRecordForEditing(qint64 pkContactDetailsId) {
    // Emptied first, so a failed load leaves no earlier text behind.
    setupcontrol();
    m_loaded.reset();
    std::optional<Contact> contact;
    try {
        contact = m_store->contact(pkContactDetailsId);
    } catch (const DbError&) {
        platform::showMessage(tr("There was an error retrieving data"));
        return false;
    }
    if (!contact) {
        platform::showMessage(tr("internal error"));
        return false;
    }
    for (const auto& [field, box] : fieldBoxes())
        setBoxText(box, (*contact).*field);
    cmdRecordType->setCurrentIndex(contact->type == ContactType::Personal ? 0 : 1);
    m_loaded = contact;
    return true;
}

void ctrRecord::cmdSave_Click() {
    // A value that statement text cannot carry is refused before anything is
    // written, and the pane stays open with everything typed still in it.
    for (const auto& [field, box] : fieldBoxes()) {
        if (isStorableText(boxText(box)))
            continue;
        const auto* label = findChild<QLabel*>(QStringLiteral("lbl") + box->objectName().mid(3));
        platform::showMessage(tr("%1 holds a character that cannot be stored (a NUL "
                                 "character).\r\nPlease remove it and save again.")
                                  .arg(label ? label->text() : tr("Comments")),
                              platform::Icon::Exclamation);
        return;
    }
    if (bIsUpdateRequest) {
        // No loaded record, no update: nothing typed may land on a contact
        // the boxes were not filled from.
        if (!m_loaded || !updateRecord())
            return;
    } else {
        insertRecord();
    }
    emit RecordAddedOrUpdated();
}

void ctrRecord::insertRecord() {
    try {
        if (!m_store->insert(typedContact())) {
            platform::showMessage(tr("There was an error in saving data"));
            return;
        }
    } catch (const DbError&) {
        platform::showMessage(tr("There was an error in saving data"));
        return;
    }
    platform::showMessage(tr("Record saved sucessfuly"));
}

// False when the user chose to keep editing rather than save over a change
// made elsewhere.
bool ctrRecord::updateRecord() {
    for (;;) {
        Contact stored;
        ContactStore::UpdateResult result;
        try {
            result = m_store->update(typedContact(), *m_loaded, &stored);
        } catch (const DbError&) {
            platform::showMessage(tr("There was an error retrieving data"));
            return true;
        }
        switch (result) {
        case ContactStore::UpdateResult::Saved:
            m_loaded.reset();
            return true;
        case ContactStore::UpdateResult::Gone:
            // Deleted meanwhile by another window or program: the typed
            // changes went nowhere, and the user must know.
            platform::showMessage(
                tr("This contact no longer exists, so the changes could not be saved."),
                platform::Icon::Exclamation);
            return true;
        case ContactStore::UpdateResult::ChangedElsewhere:
            if (!platform::askYesNo(
                    tr("This contact was changed in another window or program after you opened "
                       "it. Save your changes over it?")))
                return false;
            // Saved over exactly the version the user agreed to replace.
            m_loaded = stored;
            break;
        }
    }
}

bool ctrRecord::focusNextPrevChild(bool next) {
    // The keyboard order runs across the tabs: leaving the last box of a tab
    // brings the tab of the next box forward.
    // A box on a page going out of sight hands its focus on through here
    // too: that is no Tab, and must not bring its page back.
    const qsizetype at = m_keyboardOrder.indexOf(focusWidget());
    if (at < 0 || !focusWidget()->isVisible())
        return QWidget::focusNextPrevChild(next);
    const qsizetype count = m_keyboardOrder.size();
    QWidget* target = m_keyboardOrder[(at + (next ? 1 : count - 1)) % count];
    for (int page = 0; page < SSTab1->count(); ++page)
        if (SSTab1->widget(page)->isAncestorOf(target))
            SSTab1->setCurrentIndex(page);
    target->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

void ctrRecord::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Typing can start at once: the first box of the tab on show has the focus.
    for (QWidget* box : std::as_const(m_keyboardOrder))
        if (SSTab1->currentWidget()->isAncestorOf(box)) {
            box->setFocus(Qt::OtherFocusReason);
            break;
        }
}
