#pragma once

#include "data/CardExtras.h"
#include "data/Contact.h"
#include "data/ContactStore.h"

#include <QTabWidget>

class QLabel;
class QLineEdit;
class QPlainTextEdit;

// SSTab1: one contact in full on four tabs, "Name", "Address", "Contact" and
// "Comments", and a fifth, "More", for what the contact's card holds beyond
// the columns, shown only when it holds something. Display only: nothing
// typed into it is stored. On the Contact tab the phone numbers and the
// e-mail address are links; following one asks the owner to call or to
// write. The web pages on "More" open in the desktop's browser.
class ContactDetailsTabs : public QTabWidget {
    Q_OBJECT
public:
    explicit ContactDetailsTabs(QWidget* parent = nullptr);

    QLineEdit* txtFName;
    QLineEdit* txtMidName;
    QLineEdit* txtLName;
    QLineEdit* txtGName;
    QLabel* lblStart;
    QPlainTextEdit* lblAddress;
    QLabel* lblContactInfo;
    QLabel* lblComments;
    QLabel* lblPhoto;
    QLabel* lblCardExtras;
    QWidget* moreTab;

    // The longest value the tabs show whole.
    static constexpr qsizetype shownLength = 50'000;

    // Shows the contact on the four tabs; "More" is hidden until showExtras().
    void showContact(const Contact& contact);
    // Shows what the contact's card holds beyond the columns on "More", which
    // appears only when there is something to show.
    void showExtras(const CardExtras& extras);
    // Empties the tabs: no contact is shown.
    void showNoContact();

    // Sets a target's text; stored line breaks (CR LF) show as line breaks.
    static void setShownText(QLineEdit* target, const QString& text);
    static void setShownText(QPlainTextEdit* target, const QString& text);
    static void setShownText(QLabel* target, const QString& text);

signals:
    void callRequested(qint64 id, Phone phone, const QString& calledParty);
    void mailRequested(const QString& address);

protected:
    void changeEvent(QEvent* event) override;

private:
    void followLink(const QString& link);

    Contact m_shown;
    CardExtras m_extras;
};
