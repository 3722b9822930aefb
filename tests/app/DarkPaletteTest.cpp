#include "about/frmAbout.h"
#include "editor/ctrRecord.h"
#include "support/MainWindowFixture.h"

#include <QGroupBox>
#include <QStyleOptionGroupBox>

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
                 qPrintable(u"%1: %2 on %3"_s.arg(widget->objectName(), text.name(), back.name())));
        ++checked;
    }
    QVERIFY(checked > 0);
}

// Sets a dark desktop palette for the lifetime of one test.
class DarkDesktop {
public:
    DarkDesktop() : m_saved(QApplication::palette()) {
        using P = QPalette;
        const P::ColorRole roles[] = {P::Window,   P::WindowText, P::Base,       P::AlternateBase,
                                      P::Text,     P::Button,     P::ButtonText, P::Light,
                                      P::Midlight, P::Mid,        P::Dark};
        const int greys[] = {0x20, 0xe0, 0x18, 0x28, 0xe0, 0x30, 0xe0, 0x50, 0x40, 0x28, 0x10};
        QPalette dark;
        for (int i = 0; i < 11; ++i)
            dark.setColor(roles[i], QColor(greys[i], greys[i], greys[i]));
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
        for (const char* view : {"main view", "record editor", "about box"})
            QTest::newRow(view) << QString::fromLatin1(view);
    }

    void textsStandOutUnderADarkPalette() {
        QFETCH(QString, view);
        DarkDesktop dark;
        MainWindowFixture f;
        f.folder.addContact({.firstName = "Ann", .lastName = "Lee"});
        frmContactMgmt& w = f.window();
        f.click("cmdPersonal"); // gives the list its heading
        if (view == QLatin1String("main view")) {
            verifyReadable(&w);
        } else if (view == QLatin1String("record editor")) {
            f.click("cmdAddRecord");
            QVERIFY(w.recordEditor->isVisible());
            verifyReadable(w.recordEditor);
        } else {
            frmAbout* about = f.openAbout();
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
