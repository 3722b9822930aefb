#include "about/frmAbout.h"
#include "app/frmContactMgmt.h"
#include "editor/ctrRecord.h"
#include "support/MainWindowFixture.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStyleOptionGroupBox>
#include <QTest>

#include <cmath>

namespace {

double luminance(const QColor& colour) {
    auto linear = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
           0.0722 * linear(colour.blueF());
}

double contrast(const QColor& a, const QColor& b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The colour a widget's text is drawn in, as its style draws it.
QColor textColour(const QWidget* widget) {
    if (const auto* box = qobject_cast<const QGroupBox*>(widget)) {
        QStyleOptionGroupBox option;
        option.initFrom(box);
        const QColor hinted(
            QRgb(box->style()->styleHint(QStyle::SH_GroupBox_TextLabelColor, &option, box)));
        if (hinted.isValid() && hinted.alpha() != 0)
            return hinted;
    }
    return widget->palette().color(widget->foregroundRole());
}

// The colour behind a widget's text: a push button draws its own face; any
// other widget shows the first ancestor that fills its background.
QColor backgroundColour(const QWidget* widget) {
    if (qobject_cast<const QPushButton*>(widget))
        return widget->palette().color(widget->backgroundRole());
    const QWidget* painted = widget;
    while (!painted->autoFillBackground() && !painted->isWindow())
        painted = painted->parentWidget();
    return painted->palette().color(painted->backgroundRole());
}

QString textOf(const QWidget* widget) {
    if (const auto* label = qobject_cast<const QLabel*>(widget))
        return label->text();
    if (const auto* box = qobject_cast<const QGroupBox*>(widget))
        return box->title();
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
        return button->text();
    return {};
}

// Every visible text of the window stands out from what it is drawn on.
void verifyReadable(const QWidget* window) {
    int checked = 0;
    for (const QWidget* widget : window->findChildren<QWidget*>()) {
        if (!widget->isVisible() || textOf(widget).isEmpty())
            continue;
        const QColor text = textColour(widget);
        const QColor back = backgroundColour(widget);
        QVERIFY2(contrast(text, back) >= 3.0,
                 qPrintable(QStringLiteral("%1: %2 on %3")
                                .arg(widget->objectName(), text.name(), back.name())));
        ++checked;
    }
    QVERIFY(checked > 0);
}

// Sets a dark desktop palette for the lifetime of one test.
class DarkDesktop {
public:
    DarkDesktop() : m_saved(QApplication::palette()) {
        QPalette dark;
        dark.setColor(QPalette::Window, QColor(0x20, 0x20, 0x20));
        dark.setColor(QPalette::WindowText, QColor(0xe0, 0xe0, 0xe0));
        dark.setColor(QPalette::Base, QColor(0x18, 0x18, 0x18));
        dark.setColor(QPalette::AlternateBase, QColor(0x28, 0x28, 0x28));
        dark.setColor(QPalette::Text, QColor(0xe0, 0xe0, 0xe0));
        dark.setColor(QPalette::Button, QColor(0x30, 0x30, 0x30));
        dark.setColor(QPalette::ButtonText, QColor(0xe0, 0xe0, 0xe0));
        dark.setColor(QPalette::Light, QColor(0x50, 0x50, 0x50));
        dark.setColor(QPalette::Midlight, QColor(0x40, 0x40, 0x40));
        dark.setColor(QPalette::Mid, QColor(0x28, 0x28, 0x28));
        dark.setColor(QPalette::Dark, QColor(0x10, 0x10, 0x10));
        dark.setColor(QPalette::Link, QColor(0x8a, 0xb4, 0xf8));
        QApplication::setPalette(dark);
    }
    ~DarkDesktop() { QApplication::setPalette(m_saved); }

private:
    QPalette m_saved;
};

} // namespace

class DarkPaletteTest : public QObject {
    Q_OBJECT

private slots:
    void textsStandOutUnderADarkPalette_data() {
        QTest::addColumn<QString>("view");
        QTest::newRow("main view") << QStringLiteral("main view");
        QTest::newRow("record editor") << QStringLiteral("record editor");
        QTest::newRow("about box") << QStringLiteral("about box");
    }

    void textsStandOutUnderADarkPalette() {
        QFETCH(QString, view);
        DarkDesktop dark;
        MainWindowFixture f;
        f.folder.addContact({.firstName = "Ann", .lastName = "Lee"});
        frmContactMgmt& w = f.window();
        f.click(QStringLiteral("cmdPersonal")); // gives the list its heading
        if (view == QLatin1String("main view")) {
            verifyReadable(&w);
        } else if (view == QLatin1String("record editor")) {
            f.click(QStringLiteral("cmdAddRecord"));
            QVERIFY(w.recordEditor->isVisible());
            verifyReadable(w.recordEditor);
        } else {
            f.trigger(QStringLiteral("mnuAbout"));
            frmAbout* about = nullptr;
            for (QWidget* top : QApplication::topLevelWidgets())
                if (auto* box = qobject_cast<frmAbout*>(top); box && box->isVisible())
                    about = box;
            QVERIFY(about);
            verifyReadable(about);
            // The links keep a look of their own, and the separator shows.
            QVERIFY(textColour(about->lblWebsite) != textColour(about->lblDisclaimer));
            for (const QFrame* line : about->Line1)
                QVERIFY(line->palette().color(line->backgroundRole()) !=
                        backgroundColour(about->lblDisclaimer));
            about->close();
        }
    }
};

QTEST_MAIN(DarkPaletteTest)
#include "DarkPaletteTest.moc"
