#pragma once

#include "data/ContactStore.h"

#include <QString>
#include <QWidget>

class QPushButton;

// The strip of type buttons ("Personal", "Business"), letter buttons "A" to
// "Z" and "ALL" under the main window's top strip. It remembers the last type
// and letter chosen and announces each choice; the owner decides what a
// choice shows.
class ctrTypeFilter : public QWidget {
    Q_OBJECT
public:
    explicit ctrTypeFilter(QWidget* parent = nullptr);

    QString CurrentRecordFilter; // "A".."Z" or "%"; empty until a letter is chosen
    TypeFilter CurrentTypeFilter = TypeFilter::None;

signals:
    void RecordTypeChanged(TypeFilter sRecordType);
    void RecordFilterChanged(const QString& sFilterType);

protected:
    // Arrow keys, Home and End move the focus along the strip.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class StripLayout;
    void chooseType(TypeFilter type);
    void chooseLetter(const QString& letter);
    void addButton(QPushButton* button, int weight, bool letter);
    void moveFocusTo(QPushButton* button);

    StripLayout* m_layout;
    // In strip order. The strip is one Tab stop: the button last focused.
    QList<QPushButton*> m_buttons;
};
