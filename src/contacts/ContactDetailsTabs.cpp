#include "contacts/ContactDetailsTabs.h"

#include "contacts/DisplayText.h"

#include "platform/Named.h"
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QVBoxLayout>

#include <limits>

namespace {

QLineEdit* displayBox(const char* name) {
    auto* box = named(new QLineEdit, name);
    box->setReadOnly(true);
    // No cut at the box's own limit: the tabs shorten long values themselves.
    box->setMaxLength(std::numeric_limits<int>::max());
    return box;
}

QLabel* displayLabel(const char* name) {
    auto* label = named(new QLabel, name);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    return label;
}

// A label inside a scroll area, so a long comment can be read to its end.
QWidget* scrolled(QLabel* label) {
    auto* area = new QScrollArea;
    area->setWidget(label);
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    return area;
}

QString shown(const QString& text) {
    QString lines = text;
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return lines;
}

} // namespace

ContactDetailsTabs::ContactDetailsTabs(QWidget* parent)
    : QTabWidget(parent), txtFName(displayBox("txtFName")), txtMidName(displayBox("txtMidName")),
      txtLName(displayBox("txtLName")), txtGName(displayBox("txtGName")),
      lblStart(named(new QLabel, "lblStart")), lblAddress(named(new QPlainTextEdit, "lblAddress")),
      lblContactInfo(displayLabel("lblContactInfo")), lblComments(displayLabel("lblComments")) {
    auto* nameTab = new QWidget;
    auto* nameLayout = new QVBoxLayout(nameTab);
    auto* form = new QFormLayout;
    form->addRow(tr("First name"), txtFName);
    form->addRow(tr("Middle name"), txtMidName);
    form->addRow(tr("Last Name"), txtLName);
    form->addRow(tr("Guardian Name"), txtGName);
    nameLayout->addLayout(form);
    lblStart->setText(tr("Select the \"Personal\" or \"Business\" button to view contacts"));
    lblStart->setWordWrap(true);
    lblStart->setAlignment(Qt::AlignCenter);
    QFont large = lblStart->font();
    large.setPointSizeF(large.pointSizeF() * 1.5);
    large.setBold(true);
    lblStart->setFont(large);
    nameLayout->addWidget(lblStart, 1);

    lblAddress->setReadOnly(true);
    lblAddress->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    addTab(nameTab, tr("Name"));
    addTab(lblAddress, tr("Address"));
    addTab(scrolled(lblContactInfo), tr("Contact"));
    addTab(scrolled(lblComments), tr("Comments"));
}

void ContactDetailsTabs::setShownText(QLineEdit* target, const QString& text) {
    target->setText(text);
    target->setCursorPosition(0);
}

void ContactDetailsTabs::setShownText(QPlainTextEdit* target, const QString& text) {
    target->setPlainText(shown(text));
}

void ContactDetailsTabs::setShownText(QLabel* target, const QString& text) {
    target->setText(shown(text));
}

namespace {

// Each value is shortened on its own, so that a huge address still leaves
// the city, state and zip code lines in view.
QString shownField(const QString& value) {
    return shortenedForDisplay(value, ContactDetailsTabs::shownLength);
}

QString addressBlock(const Contact& contact) {
    return shownField(contact.address) + QStringLiteral("\r\n") + shownField(contact.city) +
           QStringLiteral("\r\n") + shownField(contact.state) + QStringLiteral("\r\n") +
           shownField(contact.zipCode);
}

QString contactBlock(const Contact& contact) {
    // The captions are padded so that the values line up.
    return ContactDetailsTabs::tr("Work  ") + shownField(contact.workPhone) +
           QStringLiteral("\r\n") + ContactDetailsTabs::tr("Home  ") +
           shownField(contact.homePhone) + QStringLiteral("\r\n") +
           ContactDetailsTabs::tr("Cell  ") + shownField(contact.cellPhone) +
           QStringLiteral("\r\n") + ContactDetailsTabs::tr("Email ") + shownField(contact.email);
}

} // namespace

void ContactDetailsTabs::showContact(const Contact& contact) {
    setShownText(txtFName, shownField(contact.firstName));
    setShownText(txtMidName, shownField(contact.middleName));
    setShownText(txtLName, shownField(contact.lastName));
    setShownText(lblAddress, addressBlock(contact));
    setShownText(lblContactInfo, contactBlock(contact));
    setShownText(txtGName, shownField(contact.guardian));
    setShownText(lblComments, shownField(contact.comments));
}
