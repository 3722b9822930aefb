#include "support/Typing.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTest>

void typeText(QWidget* widget, const QString& text) {
    const QList<uint> codePoints = text.toUcs4();
    for (uint cp : codePoints) {
        if (cp == '\n' || cp == '\r') {
            QTest::keyClick(widget, Qt::Key_Return);
            continue;
        }
        const QString typed = QString::fromUcs4(reinterpret_cast<const char32_t*>(&cp), 1);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, typed);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, typed);
        QApplication::sendEvent(widget, &press);
        QApplication::sendEvent(widget, &release);
    }
}
