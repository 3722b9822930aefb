#pragma once

#include <QString>
#include <QWidget>

// The record editor pane: a new contact is typed, or an existing one changed,
// and written to the database.
class ctrRecord : public QWidget {
    Q_OBJECT
public:
    explicit ctrRecord(QWidget* parent = nullptr);

    bool bIsUpdateRequest = false;
    QString gSconnString;
    QString gScurrentBookName;

    void setupcontrol();
    void LoadRecordForEditing(const QString& pkContactDetailsId);

signals:
    void RecordAddedOrUpdated();
    void OperationCancelled();
};
