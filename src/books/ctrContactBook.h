#pragma once

#include <QString>
#include <QWidget>

// The book chooser pane: lists the contact books, adds and deletes them, and
// reports the one the user chooses.
class ctrContactBook : public QWidget {
    Q_OBJECT
public:
    explicit ctrContactBook(QWidget* parent = nullptr);

    QString gSconnString;

    void refreshData();

signals:
    void ContactBookChosen(const QString& contactBookName);
};
