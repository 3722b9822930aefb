#include "contacts/ContactDetailsTabs.h"

#include "contacts/DisplayText.h"

#include "platform/Named.h"
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QTabBar>
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
    area->setAccessibleName(label->accessibleName());
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

    // Rich text for the links alone: every value is escaped on its way in.
    lblContactInfo->setTextFormat(Qt::RichText);
    lblContactInfo->setTextInteractionFlags(Qt::TextBrowserInteraction);
    lblContactInfo->setOpenExternalLinks(false);
    connect(lblContactInfo, &QLabel::linkActivated, this, &ContactDetailsTabs::followLink);

    setAccessibleName(tr("Contact details"));
    tabBar()->setAccessibleName(tr("Contact details pages"));
    lblAddress->setAccessibleName(tr("Address"));
    lblContactInfo->setAccessibleName(tr("Phone numbers and e-mail address"));
    lblComments->setAccessibleName(tr("Comments"));

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

// A value as rich text shows it, as a link when it is not blank.
QString htmlField(const QString& value, const QString& link) {
    QString html = shownField(value).toHtmlEscaped();
    html.replace(QLatin1String("\r\n"), QLatin1String("<br>"));
    if (value.trimmed().isEmpty())
        return html;
    return QStringLiteral("<a href=\"%1\">%2</a>").arg(link, html);
}

QString contactBlock(const Contact& contact) {
    const auto text = [](const char* caption) {
        return ContactDetailsTabs::tr(caption).toHtmlEscaped();
    };
    return QStringLiteral("<div style=\"white-space:pre-wrap\">") + text("Work  ") +
           htmlField(contact.workPhone, QStringLiteral("call:work")) + QStringLiteral("<br>") +
           text("Home  ") + htmlField(contact.homePhone, QStringLiteral("call:home")) +
           QStringLiteral("<br>") + text("Cell  ") +
           htmlField(contact.cellPhone, QStringLiteral("call:cell")) + QStringLiteral("<br>") +
           text("Email ") + htmlField(contact.email, QStringLiteral("mail")) +
           QStringLiteral("</div>");
}

} // namespace

void ContactDetailsTabs::showContact(const Contact& contact) {
    setShownText(txtFName, shownField(contact.firstName));
    setShownText(txtMidName, shownField(contact.middleName));
    setShownText(txtLName, shownField(contact.lastName));
    setShownText(lblAddress, addressBlock(contact));
    lblContactInfo->setText(contactBlock(contact));
    setShownText(txtGName, shownField(contact.guardian));
    setShownText(lblComments, shownField(contact.comments));
    m_shown = contact;
}

void ContactDetailsTabs::showNoContact() {
    showContact(Contact{});
}

void ContactDetailsTabs::followLink(const QString& link) {
    if (link == QLatin1String("mail"))
        emit mailRequested(m_shown.email);
    else if (link == QLatin1String("call:work"))
        emit callRequested(m_shown.id, Phone::Work, m_shown.firstName);
    else if (link == QLatin1String("call:home"))
        emit callRequested(m_shown.id, Phone::Home, m_shown.firstName);
    else if (link == QLatin1String("call:cell"))
        emit callRequested(m_shown.id, Phone::Cell, m_shown.firstName);
}
