#pragma once

#include "data/ContactStore.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <optional>
#include <utility>

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

// The record editor pane: a new contact is typed, or an existing one changed,
// and written to the database. The owner hands it the store, starts it with
// startAdding or startEditing, and hears back through the two signals.
class ctrRecord : public QWidget {
    Q_OBJECT
public:
    explicit ctrRecord(QWidget* parent = nullptr);

    // The store it reads and writes; a new record goes into its current
    // book. Set before first use.
    void setStore(const ContactStore* store) { m_store = store; }

    // Add mode: every box emptied, the type given selected; Save inserts.
    void startAdding(ContactType preselected = ContactType::Business);
    // Update mode: the boxes filled from the record with that id; Save
    // updates it. False, after its message, when the record could not be
    // loaded: then nothing is left that Save could write.
    bool startEditing(qint64 id);

    // True when nothing typed would be lost, or the user agreed to lose it.
    bool mayDiscardChanges();

signals:
    // After every Save, whether or not the record could be written.
    void RecordAddedOrUpdated();
    void OperationCancelled();

protected:
    bool focusNextPrevChild(bool next) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void buildKeys();
    void setupcontrol();
    bool LoadRecordForEditing(qint64 pkContactDetailsId);
    void leaveAfterAsking();
    void turnPage(int step);
    bool hasChanges() const;
    void cmdSave_Click();
    QList<std::pair<QString Contact::*, QWidget*>> fieldBoxes() const;
    Contact typedContact() const;
    void insertRecord();
    bool updateRecord();

    const ContactStore* m_store = nullptr;
    bool bIsUpdateRequest = false; // false: Save inserts; true: Save updates the loaded record
    // What the boxes held when the pane was prepared, to tell a change.
    Contact m_startedWith;
    // The record as it was loaded for editing; none when no load succeeded.
    std::optional<Contact> m_loaded;

    QGroupBox* frameAddUpdateRecord = nullptr;
    QTabWidget* SSTab1 = nullptr;
    QLineEdit* txtFirstName = nullptr;
    QLineEdit* txtMiddleName = nullptr;
    QLineEdit* txtLastName = nullptr;
    QLineEdit* txtGuardianName = nullptr;
    QComboBox* cmdRecordType = nullptr;
    QPlainTextEdit* txtAddress = nullptr;
    QLineEdit* txtCity = nullptr;
    QLineEdit* txtState = nullptr;
    QLineEdit* txtZipCode = nullptr;
    QLineEdit* txtWorkPhone = nullptr;
    QLineEdit* txtHomePhone = nullptr;
    QLineEdit* txtCellPhone = nullptr;
    QLineEdit* txtEmail = nullptr;
    QPlainTextEdit* txtComments = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdCancel = nullptr;

    QList<QWidget*> m_keyboardOrder; // every box, then Save, then Cancel
};
