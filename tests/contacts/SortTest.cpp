#include "app/frmContactMgmt.h"
#include "contacts/ContactDetailsTabs.h"
#include "contacts/ContactListModel.h"
#include "contacts/ContactListView.h"
#include "support/MainWindowFixture.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QTest>

namespace {

// Both columns hold the same names, each in a different row order, so a sort
// by either column must order the same names.
const QStringList names{"Zoë", "émile", "Ölund", "anna", "Åsa", "Bo", "Ärger"};

ContactNames namesInRows() {
    ContactNames rows;
    for (int row = 0; row < names.size(); ++row) {
        const QByteArray first = names[row].toUtf8();
        const QByteArray last = names[(row + 3) % names.size()].toUtf8();
        rows.add(row, first.data(), int(first.size()), last.data(), int(last.size()));
    }
    return rows;
}

QStringList column(const ContactListModel& model, int column) {
    QStringList shown;
    for (int row = 0; row < model.rowCount(); ++row)
        shown << model.index(row, column).data().toString();
    return shown;
}

} // namespace

class SortTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void sortsInTheUsersLocale_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<int>("column");
        QTest::addColumn<QStringList>("ascending");
        const QStringList german{"anna", "Ärger", "Åsa", "Bo", "émile", "Ölund", "Zoë"};
        const QStringList swedish{"anna", "Bo", "émile", "Zoë", "Åsa", "Ärger", "Ölund"};
        for (int c : {0, 1}) {
            QTest::addRow("German, column %d", c) << "de_DE" << c << german;
            QTest::addRow("Swedish, column %d", c) << "sv_SE" << c << swedish;
            QTest::addRow("C, column %d", c) << "C" << c << german;
        }
    }
    void sortsInTheUsersLocale() {
        QFETCH(QString, locale);
        QFETCH(int, column);
        QFETCH(QStringList, ascending);
        QLocale::setDefault(QLocale(locale));
        ContactListModel model;
        model.replaceEntries(namesInRows());
        model.sort(column, Qt::AscendingOrder);
        QCOMPARE(::column(model, column), ascending);
        // Each row keeps its contact whole.
        for (int row = 0; row < model.rowCount(); ++row)
            QCOMPARE(model.firstName(row), names[int(model.id(row))]);

        model.sort(column, Qt::DescendingOrder);
        QStringList descending = ascending;
        std::reverse(descending.begin(), descending.end());
        QCOMPARE(::column(model, column), descending);
        // A reload keeps the order chosen.
        model.replaceEntries(namesInRows());
        QCOMPARE(::column(model, column), descending);
    }

    // Header clicks sort, the selection stays with its contact, and the
    // details show the last contact of the sorted list after a reload.
    void theWindowSortsByHeaderClicks() {
        QLocale::setDefault(QLocale(QStringLiteral("sv_SE")));
        MainWindowFixture f;
        for (const char* name : {"Ölund", "Bo", "Åsa"})
            f.folder.addContact(
                {.firstName = name, .lastName = QStringLiteral("X") + QString::fromUtf8(name)});
        frmContactMgmt& w = f.window();
        f.click(QStringLiteral("cmdPersonal"));
        f.clickRow(1); // Bo
        QHeaderView* header = w.lvContacts->header();
        const QPoint firstName(header->sectionViewportPosition(0) + 5, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, firstName);
        QCOMPARE(f.listed(), (QStringList{"Bo|XBo", "Åsa|XÅsa", "Ölund|XÖlund"}));
        QCOMPARE(w.lvContacts->selectedText(), QStringLiteral("Bo"));
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, firstName);
        QCOMPARE(f.listed(), (QStringList{"Ölund|XÖlund", "Åsa|XÅsa", "Bo|XBo"}));

        f.click(QStringLiteral("cmdPersonal"));
        QCOMPARE(f.listed(), (QStringList{"Ölund|XÖlund", "Åsa|XÅsa", "Bo|XBo"}));
        QCOMPARE(w.SSTab1->txtFName->text(), QStringLiteral("Bo"));
    }
};

QTEST_MAIN(SortTest)
#include "SortTest.moc"
