#include "contacts/ContactDetailsTabs.h"

#include "contacts/DisplayText.h"

#include "platform/Named.h"
#include "platform/Shell.h"

#include <QEvent>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
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
      lblContactInfo(displayLabel("lblContactInfo")), lblComments(displayLabel("lblComments")),
      lblPhoto(named(new QLabel, "lblPhoto")), lblCardExtras(displayLabel("lblCardExtras")),
      moreTab(named(new QWidget, "moreTab")) {
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

    auto* moreLayout = new QVBoxLayout(moreTab);
    lblPhoto->setAccessibleName(tr("Photo"));
    lblPhoto->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblCardExtras->setTextFormat(Qt::RichText);
    lblCardExtras->setTextInteractionFlags(Qt::TextBrowserInteraction);
    lblCardExtras->setOpenExternalLinks(false);
    lblCardExtras->setAccessibleName(tr("Further details of the contact"));
    connect(lblCardExtras, &QLabel::linkActivated, this, &ContactDetailsTabs::followLink);
    moreLayout->addWidget(lblPhoto);
    moreLayout->addWidget(scrolled(lblCardExtras), 1);
    moreTab->setAccessibleName(tr("More"));
    addTab(moreTab, tr("More"));
    setTabVisible(indexOf(moreTab), false);
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
    return QStringLiteral("<div style=\"white-space:pre-wrap\">") +
           ContactDetailsTabs::tr("Work  ").toHtmlEscaped() +
           htmlField(contact.workPhone, QStringLiteral("call:work")) + QStringLiteral("<br>") +
           ContactDetailsTabs::tr("Home  ").toHtmlEscaped() +
           htmlField(contact.homePhone, QStringLiteral("call:home")) + QStringLiteral("<br>") +
           ContactDetailsTabs::tr("Cell  ").toHtmlEscaped() +
           htmlField(contact.cellPhone, QStringLiteral("call:cell")) + QStringLiteral("<br>") +
           ContactDetailsTabs::tr("Email ").toHtmlEscaped() +
           htmlField(contact.email, QStringLiteral("mail")) + QStringLiteral("</div>");
}

bool isWebAddress(const QString& url) {
    return url.startsWith(QStringLiteral("http://"), Qt::CaseInsensitive) ||
           url.startsWith(QStringLiteral("https://"), Qt::CaseInsensitive);
}

// One row of the "More" tab: a caption and its value, escaped.
QString row(const QString& caption, const QString& valueHtml) {
    return QStringLiteral("<tr><td style=\"padding-right:8px\">") + caption.toHtmlEscaped() +
           QStringLiteral("</td><td>") + valueHtml + QStringLiteral("</td></tr>");
}

QString plain(const QString& value) {
    QString html = shownField(value).toHtmlEscaped();
    return html.replace(QLatin1String("\r\n"), QLatin1String("<br>"));
}

QString labelled(const QString& caption, const LabelledValue& value) {
    return value.label.isEmpty() ? caption : caption + QStringLiteral(" (") + value.label + u')';
}

// `link`: the palette's link colour, which rich text does not take by itself.
QString extrasBlock(const CardExtras& e, const QColor& link) {
    QString html = QStringLiteral("<table>");
    if (!e.organization.isEmpty())
        html += row(ContactDetailsTabs::tr("Organization"), plain(e.organization));
    if (!e.title.isEmpty())
        html += row(ContactDetailsTabs::tr("Title"), plain(e.title));
    if (!e.birthday.isEmpty())
        html += row(ContactDetailsTabs::tr("Birthday"), plain(e.birthday));
    for (const QString& nickname : e.nicknames)
        html += row(ContactDetailsTabs::tr("Nickname"), plain(nickname));
    for (qsizetype i = 0; i < e.webPages.size(); ++i)
        html += row(ContactDetailsTabs::tr("Web page"),
                    isWebAddress(e.webPages[i])
                        ? QStringLiteral("<a href=\"web:%1\" style=\"color:%2\">%3</a>")
                              .arg(i)
                              .arg(link.name(), plain(e.webPages[i]))
                        : plain(e.webPages[i]));
    for (const LabelledValue& phone : e.phones)
        html += row(labelled(ContactDetailsTabs::tr("Phone"), phone), plain(phone.value));
    for (const LabelledValue& email : e.emails)
        html += row(labelled(ContactDetailsTabs::tr("E-mail"), email), plain(email.value));
    for (const LabelledValue& address : e.addresses)
        html += row(labelled(ContactDetailsTabs::tr("Address"), address), plain(address.value));
    return html + QStringLiteral("</table>");
}

} // namespace

void ContactDetailsTabs::showExtras(const CardExtras& extras) {
    m_extras = extras;
    QPixmap photo;
    if (!extras.photo.isEmpty() && photo.loadFromData(extras.photo))
        lblPhoto->setPixmap(photo.scaled(96, 96, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    else
        lblPhoto->clear();
    lblPhoto->setVisible(!photo.isNull());
    lblCardExtras->setText(extrasBlock(extras, palette().color(QPalette::Link)));
    setTabVisible(indexOf(moreTab), !extras.isEmpty());
}

// The links take the palette's link colour when it changes (a dark theme).
void ContactDetailsTabs::changeEvent(QEvent* event) {
    QTabWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        lblCardExtras->setText(extrasBlock(m_extras, palette().color(QPalette::Link)));
}

void ContactDetailsTabs::showContact(const Contact& contact) {
    setShownText(txtFName, shownField(contact.firstName));
    setShownText(txtMidName, shownField(contact.middleName));
    setShownText(txtLName, shownField(contact.lastName));
    setShownText(lblAddress, addressBlock(contact));
    lblContactInfo->setText(contactBlock(contact));
    setShownText(txtGName, shownField(contact.guardian));
    setShownText(lblComments, shownField(contact.comments));
    m_shown = contact;
    showExtras({});
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
    else if (link.startsWith(QLatin1String("web:"))) {
        const qsizetype index = link.mid(4).toLongLong();
        if (index >= 0 && index < m_extras.webPages.size())
            platform::shell().openUrl(m_extras.webPages[index]);
    }
}
