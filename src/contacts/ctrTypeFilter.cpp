#include "contacts/ctrTypeFilter.h"

#include "platform/Named.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>

namespace {
QPushButton* makeButton(const QString& name, const QString& caption, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    named(button, name);
    button->setAutoDefault(false);
    return button;
}
} // namespace

ctrTypeFilter::ctrTypeFilter(QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);

    auto* cmdPersonal = makeButton(QStringLiteral("cmdPersonal"), tr("Personal"), this);
    auto* cmdBusiness = makeButton(QStringLiteral("cmdBusiness"), tr("Business"), this);
    for (QPushButton* button : {cmdPersonal, cmdBusiness}) {
        QFont bold = button->font();
        bold.setBold(true);
        button->setFont(bold);
        layout->addWidget(button, 3);
    }
    connect(cmdPersonal, &QPushButton::clicked, this,
            [this] { chooseType(TypeFilter::Personal, tr("PERSONAL")); });
    connect(cmdBusiness, &QPushButton::clicked, this,
            [this] { chooseType(TypeFilter::Business, tr("BUSINESS")); });

    // The letter buttons form one array, cmdA index 0 to 25.
    for (int index = 0; index < 26; ++index) {
        const QString letter(QChar(65 + index));
        auto* cmdA = makeButton(QStringLiteral("cmdA_%1").arg(index), letter, this);
        cmdA->setProperty("index", index);
        cmdA->setMinimumWidth(18);
        cmdA->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        layout->addWidget(cmdA, 1);
        connect(cmdA, &QPushButton::clicked, this, [this, letter] { chooseLetter(letter); });
    }
    auto* cmdAll = makeButton(QStringLiteral("cmdAll"), tr("ALL"), this);
    layout->addWidget(cmdAll, 2);
    connect(cmdAll, &QPushButton::clicked, this, [this] { chooseLetter(QStringLiteral("%")); });
}

void ctrTypeFilter::setMainWindowTargets(QWidget* hintLabel, QGroupBox* listFrame) {
    m_hintLabel = hintLabel;
    m_listFrame = listFrame;
}

void ctrTypeFilter::chooseType(TypeFilter type, const QString& caption) {
    CurrentTypeFilter = type;
    // The event comes first, so the list has been reloaded before the label
    // and the caption change.
    emit RecordTypeChanged(CurrentTypeFilter);
    if (m_hintLabel)
        m_hintLabel->setVisible(false);
    if (m_listFrame)
        m_listFrame->setTitle(tr("Viewing %1 Contacts").arg(caption));
}

void ctrTypeFilter::chooseLetter(const QString& letter) {
    CurrentRecordFilter = letter;
    emit RecordFilterChanged(CurrentRecordFilter);
}
