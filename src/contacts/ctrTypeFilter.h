#pragma once

#include "data/ContactStore.h"

#include <QString>
#include <QWidget>

class QGroupBox;
class QPushButton;

// The strip of type buttons ("Personal", "Business"), letter buttons "A" to
// "Z" and "ALL" under the main window's top strip. It remembers the last type
// and letter chosen and announces each choice.
class ctrTypeFilter : public QWidget {
    Q_OBJECT
public:
    explicit ctrTypeFilter(QWidget* parent = nullptr);

    QString CurrentRecordFilter; // "A".."Z" or "%"; empty until a letter is chosen
    TypeFilter CurrentTypeFilter = TypeFilter::None;

    // The two controls of the main window that the type buttons change: the
    // hint label they hide and the list frame whose caption they set.
    void setMainWindowTargets(QWidget* hintLabel, QGroupBox* listFrame);

signals:
    void RecordTypeChanged(TypeFilter sRecordType);
    void RecordFilterChanged(const QString& sFilterType);

private:
    class StripLayout;
    void chooseType(TypeFilter type, const QString& caption);
    void chooseLetter(const QString& letter);

    QWidget* m_hintLabel = nullptr;
    QGroupBox* m_listFrame = nullptr;
};
