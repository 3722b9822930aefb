#pragma once

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
// and written to the database. The owner hands it the connection string, the
// current book and the mode, prepares it with setupcontrol or
// LoadRecordForEditing, and hears back through the two signals.
class ctrRecord : public QWidget {
    Q_OBJECT
public:
    explicit ctrRecord(QWidget* parent = nullptr);

    bool bIsUpdateRequest = false; // false: Save inserts; true: Save updates the loaded record
    QString gSconnString;
    QString gScurrentBookName; // the book a new record goes into

    // Captions for the current mode, every box emptied, "Business" selected.
    void setupcontrol();
    // setupcontrol, then the boxes filled from the record with that id.
    // False, after its message, when the record could not be loaded: then
    // nothing is left that Save could write.
    bool LoadRecordForEditing(const QString& pkContactDetailsId);

signals:
    // After every Save, whether or not the record could be written.
    void RecordAddedOrUpdated();
    void OperationCancelled();

protected:
    bool focusNextPrevChild(bool next) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void cmdSave_Click();
    QList<std::pair<QLatin1String, QWidget*>> columnBoxes() const;
    QString recordTypeNumber() const;

    std::optional<qint64> getContactBookId(const QString& bookName);
    void insertRecord();
    bool updateRecord(const QString& id);
    enum class UpdateOutcome { Saved, Gone, ChangedElsewhere };
    UpdateOutcome writeUpdate(const QString& id, QStringList& storedRow);
    QString updateStatement(const QString& id) const;

    QString sContactDetailsId; // the record last loaded for editing
    // Every field of that record as it was loaded; none when no load succeeded.
    std::optional<QStringList> m_loadedRow;

    QGroupBox* frameAddUpdateRecord;
    QTabWidget* SSTab1;
    QLineEdit* txtFirstName;
    QLineEdit* txtMiddleName;
    QLineEdit* txtLastName;
    QLineEdit* txtGuardianName;
    QComboBox* cmdRecordType;
    QPlainTextEdit* txtAddress;
    QLineEdit* txtCity;
    QLineEdit* txtState;
    QLineEdit* txtZipCode;
    QLineEdit* txtWorkPhone;
    QLineEdit* txtHomePhone;
    QLineEdit* txtCellPhone;
    QLineEdit* txtEmail;
    QPlainTextEdit* txtComments;
    QPushButton* cmdSave;
    QPushButton* cmdCancel;

    QList<QWidget*> m_keyboardOrder; // every box, then Save, then Cancel
};
