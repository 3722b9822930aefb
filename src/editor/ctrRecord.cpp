#include "editor/ctrRecord.h"

#include "app/Named.h"
#include "data/Connection.h"
#include "data/DbError.h"
#include "data/SqlQuote.h"
#include "platform/MessageBoxes.h"

#include <QComboBox>
#include <QFormLayout>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
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
    label->setObjectName(QStringLiteral("lbl") + box->objectName().mid(3));
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

} // namespace

ctrRecord::ctrRecord(QWidget* parent) : QWidget(parent) {
    buildControls();
    cmdRecordType->addItem(QStringLiteral("Personal"));
    cmdRecordType->addItem(QStringLiteral("Business"));

    connect(cmdSave, &QPushButton::clicked, this, &ctrRecord::cmdSave_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &ctrRecord::OperationCancelled);
}

void ctrRecord::buildControls() {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    frameAddUpdateRecord =
        named(new QGroupBox(QStringLiteral("Add Record"), this), "frameAddUpdateRecord");
    outer->addWidget(frameAddUpdateRecord);
    auto* frameLayout = new QVBoxLayout(frameAddUpdateRecord);

    SSTab1 = named(new QTabWidget(frameAddUpdateRecord), "SSTab1");
    frameLayout->addWidget(SSTab1, 1);

    auto* namePage = named(new QWidget, "tabName");
    auto* nameForm = formOn(namePage);
    txtFirstName = addLineBox(nameForm, "txtFirstName", QStringLiteral("First Name"));
    txtMiddleName = addLineBox(nameForm, "txtMiddleName", QStringLiteral("Middle Name"));
    txtLastName = addLineBox(nameForm, "txtLastName", QStringLiteral("Last Name"));
    txtGuardianName =
        addLineBox(nameForm, "txtGuardianName", QStringLiteral("Parent Or Guadrian Name"));
    auto* separator = named(new QFrame, "lineSeparator");
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);
    nameForm->addRow(separator);
    // A fixed list: a typed text matching no entry would write type 0, and a
    // contact of type 0 appears in no list.
    cmdRecordType = named(new QComboBox, "cmdRecordType");
    cmdRecordType->setEditable(false);
    cmdRecordType->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    cmdRecordType->setMinimumContentsLength(12);
    addLabelled(nameForm, QStringLiteral("Record type"), cmdRecordType);
    SSTab1->addTab(namePage, QStringLiteral("Name"));

    auto* addressPage = named(new QWidget, "tabAddress");
    auto* addressForm = formOn(addressPage);
    txtAddress = addLabelled(addressForm, QStringLiteral("Address"), multiLineBox("txtAddress"));
    txtCity = addLineBox(addressForm, "txtCity", QStringLiteral("City"));
    txtState = addLineBox(addressForm, "txtState", QStringLiteral("State"));
    txtZipCode = addLineBox(addressForm, "txtZipCode", QStringLiteral("Zip code"));
    SSTab1->addTab(addressPage, QStringLiteral("Address"));

    auto* contactPage = named(new QWidget, "tabContact");
    auto* contactForm = formOn(contactPage);
    txtWorkPhone = addLineBox(contactForm, "txtWorkPhone", QStringLiteral("Work phone"));
    txtHomePhone = addLineBox(contactForm, "txtHomePhone", QStringLiteral("Home phone"));
    txtCellPhone = addLineBox(contactForm, "txtCellPhone", QStringLiteral("Cell phone"));
    txtEmail = addLineBox(contactForm, "txtEmail", QStringLiteral("Email"));
    SSTab1->addTab(contactPage, QStringLiteral("Contact"));

    auto* commentsPage = named(new QWidget, "tabComments");
    auto* commentsLayout = new QVBoxLayout(commentsPage);
    txtComments = multiLineBox("txtComments");
    commentsLayout->addWidget(txtComments);
    SSTab1->addTab(commentsPage, QStringLiteral("Comments"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    cmdSave = named(new QPushButton(QStringLiteral("Save"), frameAddUpdateRecord), "cmdSave");
    cmdCancel = named(new QPushButton(QStringLiteral("Cancel"), frameAddUpdateRecord), "cmdCancel");
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdCancel);
    frameLayout->addLayout(buttons);

    m_keyboardOrder = {txtFirstName,  txtMiddleName, txtLastName,  txtGuardianName,
                       cmdRecordType, txtAddress,    txtCity,      txtState,
                       txtZipCode,    txtWorkPhone,  txtHomePhone, txtCellPhone,
                       txtEmail,      txtComments,   cmdSave,      cmdCancel};
    for (int i = 1; i < m_keyboardOrder.size(); ++i)
        setTabOrder(m_keyboardOrder[i - 1], m_keyboardOrder[i]);
}

// The thirteen text boxes with their columns, in the order the statements
// name them.
QList<std::pair<QLatin1String, QWidget*>> ctrRecord::columnBoxes() const {
    return {{QLatin1String("FirstName"), txtFirstName},
            {QLatin1String("MiddleName"), txtMiddleName},
            {QLatin1String("LastName"), txtLastName},
            {QLatin1String("Address"), txtAddress},
            {QLatin1String("city"), txtCity},
            {QLatin1String("State"), txtState},
            {QLatin1String("ZipCode"), txtZipCode},
            {QLatin1String("WorkPhoneNumber"), txtWorkPhone},
            {QLatin1String("HomePhoneNumber"), txtHomePhone},
            {QLatin1String("CellPhoneNumber"), txtCellPhone},
            {QLatin1String("EmailAddress"), txtEmail},
            {QLatin1String("ParentOrGuardianName"), txtGuardianName},
            {QLatin1String("Comments"), txtComments}};
}

QString ctrRecord::recordTypeNumber() const {
    return QString::number(cmdRecordType->currentIndex() + 1);
}

void ctrRecord::setupcontrol() {
    if (bIsUpdateRequest) {
        frameAddUpdateRecord->setTitle(QStringLiteral("Update details"));
        cmdSave->setText(QStringLiteral("Update"));
    } else {
        frameAddUpdateRecord->setTitle(QStringLiteral("Add details"));
        cmdSave->setText(QStringLiteral("Save"));
    }
    for (const auto& [column, box] : columnBoxes())
        setBoxText(box, QString());
    cmdRecordType->setCurrentIndex(1);
}

bool ctrRecord::LoadRecordForEditing(const QString& pkContactDetailsId) {
    // Emptied first, so a failed load leaves no earlier text behind.
    setupcontrol();
    sContactDetailsId.clear();
    m_loadedRow.reset();
    try {
        Connection connection(gSconnString);
        RowSet row = connection.query(QStringLiteral("select * from tblContactDetails ") +
                                      QStringLiteral("where pkContactDetailsId = ") +
                                      sqlId(pkContactDetailsId));
        if (row.atEnd()) {
            platform::showMessage(QStringLiteral("internal error"));
            return false;
        }
        for (const auto& [column, box] : columnBoxes())
            setBoxText(box, row.text(column));
        cmdRecordType->setCurrentIndex(row.integer(QStringLiteral("fkContactType")) == 1 ? 0 : 1);
        m_loadedRow = row.texts();
        sContactDetailsId = pkContactDetailsId;
        return true;
    } catch (const DbError&) {
        setupcontrol();
        platform::showMessage(QStringLiteral("There was an error retrieving data"));
        return false;
    }
}

void ctrRecord::cmdSave_Click() {
    // A value that statement text cannot carry is refused before anything is
    // written, and the pane stays open with everything typed still in it.
    for (const auto& [column, box] : columnBoxes()) {
        if (isStorableText(boxText(box)))
            continue;
        const auto* label = findChild<QLabel*>(QStringLiteral("lbl") + box->objectName().mid(3));
        platform::showMessage((label ? label->text() : QStringLiteral("Comments")) +
                                  QStringLiteral(" holds a character that cannot be stored "
                                                 "(a NUL character).\r\nPlease remove it and "
                                                 "save again."),
                              platform::Icon::Exclamation);
        return;
    }
    if (bIsUpdateRequest) {
        // No loaded record, no update: nothing typed may land on a contact
        // the boxes were not filled from.
        if (!m_loadedRow || !updateRecord(sContactDetailsId))
            return;
    } else {
        insertRecord();
    }
    emit RecordAddedOrUpdated();
}

// The id of the named book; none when the book does not exist or the lookup
// fails.
std::optional<qint64> ctrRecord::getContactBookId(const QString& bookName) {
    try {
        Connection connection(gSconnString);
        RowSet row = connection.query(
            QStringLiteral("SELECT pkContactBookId FROM tblContactBook WHERE ContactBookName = '") +
            sqlTextBody(bookName) + QStringLiteral("'"));
        if (row.atEnd())
            return std::nullopt;
        return row.integer(QStringLiteral("pkContactBookId"));
    } catch (const DbError&) {
        return std::nullopt;
    }
}

void ctrRecord::insertRecord() {
    try {
        // Without its book a contact would be stored where no list shows it.
        const std::optional<qint64> bookId = getContactBookId(gScurrentBookName);
        if (!bookId)
            throw DbError(QStringLiteral("No contact book named ") + gScurrentBookName);
        Connection connection(gSconnString);
        QStringList values;
        for (const auto& [column, box] : columnBoxes())
            values << sqlText(boxText(box));
        connection.execute(
            QStringLiteral("insert into tblContactDetails (FirstName, MiddleName, LastName, "
                           "Address, city, State, ZipCode, ") +
            QStringLiteral("WorkPhoneNumber, HomePhoneNumber, CellPhoneNumber, EmailAddress, "
                           "ParentOrGuardianName, Comments, fkContactType, fkContactBookId)") +
            QStringLiteral(" values(") + values.join(QLatin1Char(',')) + QLatin1Char(',') +
            recordTypeNumber() + QLatin1Char(',') + QString::number(*bookId) + QLatin1Char(')'));
        connection.close();
    } catch (const DbError&) {
        platform::showMessage(QStringLiteral("There was an error in saving data"));
        return;
    }
    platform::showMessage(QStringLiteral("Record saved sucessfuly"));
}

QString ctrRecord::updateStatement(const QString& id) const {
    QString statement = QStringLiteral("update tblContactDetails ") + QStringLiteral("Set ");
    for (const auto& [column, box] : columnBoxes())
        statement += column + QStringLiteral(" = ") + sqlText(boxText(box)) + QLatin1Char(',');
    return statement + QStringLiteral("fkContactType = ") + recordTypeNumber() +
           QStringLiteral(" WHERE pkContactDetailsId = ") + sqlId(id);
}

// Writes the boxes over the record only while it still holds what was
// loaded; the check and the write share one transaction, so no other
// window's save can slip in between.
ctrRecord::UpdateOutcome ctrRecord::writeUpdate(const QString& id, QStringList& storedRow) {
    const QString statement = updateStatement(id);
    UpdateOutcome outcome = UpdateOutcome::Saved;
    Connection connection(gSconnString);
    connection.inTransaction([&] {
        RowSet row = connection.query(QStringLiteral("select * from tblContactDetails ") +
                                      QStringLiteral("where pkContactDetailsId = ") + sqlId(id));
        if (row.atEnd()) {
            outcome = UpdateOutcome::Gone;
            return;
        }
        storedRow = row.texts();
        row.close();
        if (storedRow != *m_loadedRow) {
            outcome = UpdateOutcome::ChangedElsewhere;
            return;
        }
        connection.execute(statement);
    });
    return outcome;
}

// False when the user chose to keep editing rather than save over a change
// made elsewhere.
bool ctrRecord::updateRecord(const QString& id) {
    for (;;) {
        QStringList storedRow;
        UpdateOutcome outcome;
        try {
            outcome = writeUpdate(id, storedRow);
        } catch (const DbError&) {
            platform::showMessage(QStringLiteral("There was an error retrieving data"));
            return true;
        }
        switch (outcome) {
        case UpdateOutcome::Saved:
            m_loadedRow.reset();
            return true;
        case UpdateOutcome::Gone:
            // Deleted meanwhile by another window or program: the typed
            // changes went nowhere, and the user must know.
            platform::showMessage(QStringLiteral("This contact no longer exists, so the changes "
                                                 "could not be saved."),
                                  platform::Icon::Exclamation);
            return true;
        case UpdateOutcome::ChangedElsewhere:
            if (!platform::askYesNo(
                    tr("This contact was changed in another window or program after you opened "
                       "it. Save your changes over it?")))
                return false;
            // Saved over exactly the version the user agreed to replace.
            m_loadedRow = storedRow;
            break;
        }
    }
}

bool ctrRecord::focusNextPrevChild(bool next) {
    // The keyboard order runs across the tabs: leaving the last box of a tab
    // brings the tab of the next box forward.
    const qsizetype at = m_keyboardOrder.indexOf(focusWidget());
    if (at < 0)
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
