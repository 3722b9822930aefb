#include "contacts/ContactDetailsTabs.h"
#include "contacts/ContactListView.h"
#include "support/MainWindowFixture.h"

#include <QHeaderView>

class SortTest : public QObject {
    Q_OBJECT

private slots:
    void headerClicksSortInTheUsersLocale_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<int>("column");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("German, first names")
            << "de_DE" << 0 << QStringList{"anna", "Ärger", "Åsa", "Bo", "émile", "Ölund", "Zoë"};
        QTest::newRow("Swedish, last names")
            << "sv_SE" << 1 << QStringList{"anna", "Bo", "émile", "Zoë", "Åsa", "Ärger", "Ölund"};
    }
    // Entries stay whole, the selection stays put, a reload keeps the order.
    void headerClicksSortInTheUsersLocale() {
        QFETCH(QString, locale);
        QFETCH(int, column);
        QFETCH(QStringList, order);
        QLocale::setDefault(QLocale(locale));
        // Both columns hold the same names, each in a different row order.
        const QStringList names{"Zoë", "émile", "Ölund", "anna", "Åsa", "Bo", "Ärger"};
        MainWindowFixture f;
        for (int row = 0; row < names.size(); ++row)
            f.folder.addContact({.firstName = names[row], .lastName = names[(row + 3) % 7]});
        frmContactMgmt& w = f.window();
        f.click(u"cmdPersonal"_s);
        f.clickRow(1); // émile
        const auto shown = [&] {
            QStringList cells;
            for (const QString& entry : f.listed())
                cells << entry.section(u'|', column, column);
            return cells;
        };
        QHeaderView* header = w.lvContacts->header();
        const QPoint heading(header->sectionViewportPosition(column) + 5, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, heading);
        QCOMPARE(shown(), order);
        QCOMPARE(w.lvContacts->selectedText(), u"émile"_s);
        for (const QString& entry : f.listed())
            QCOMPARE(entry.section(u'|', 1),
                     names[(names.indexOf(entry.section(u'|', 0, 0)) + 3) % 7]);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, heading);
        std::reverse(order.begin(), order.end());
        QCOMPARE(shown(), order);
        f.click(u"cmdPersonal"_s);
        QCOMPARE(shown(), order);
        QCOMPARE(w.SSTab1->txtFName->text(), f.listed().last().section(u'|', 0, 0));
        // By the other column the other way: the model sorts afresh, not reverses.
        w.lvContacts->model()->sort(1 - column, Qt::AscendingOrder);
        column = 1 - column;
        QCOMPARE(shown(), QStringList(order.rbegin(), order.rend()));
    }
};

QTEST_MAIN(SortTest)
#include "SortTest.moc"
