#include "platform/MessageBoxes.h"

#include "platform/Door.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

namespace platform {

namespace {

class RealMessageBoxes : public MessageBoxes {
public:
    Answer show(const Message& message) override {
        QMessageBox box(QApplication::activeWindow());
        box.setWindowTitle(message.title.isEmpty() ? applicationTitle() : message.title);
        // Texts carry names and other things the user typed: shown as typed,
        // never read as markup.
        box.setTextFormat(Qt::PlainText);
        box.setText(QString(message.text).replace(QLatin1String("\r\n"), QLatin1String("\n")));
        box.setIcon(iconOf(message.icon));
        if (message.buttons == Buttons::YesNo) {
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton(QMessageBox::Yes);
            box.setEscapeButton(QMessageBox::No);
            return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
        }
        if (message.buttons == Buttons::YesNoCancel) {
            // Escape and the close button press the escape button; a hidden
            // Cancel button takes that part, so only Yes and No show.
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            box.setDefaultButton(QMessageBox::Yes);
            box.setEscapeButton(QMessageBox::Cancel);
            box.button(QMessageBox::Cancel)->hide();
            switch (box.exec()) {
            case QMessageBox::Yes:
                return Answer::Yes;
            case QMessageBox::No:
                return Answer::No;
            default:
                return Answer::Cancel;
            }
        }
        box.setStandardButtons(QMessageBox::Ok);
        box.exec();
        return Answer::Ok;
    }

private:
    static QMessageBox::Icon iconOf(Icon icon) {
        switch (icon) {
        case Icon::Information:
            return QMessageBox::Information;
        case Icon::Exclamation:
            return QMessageBox::Warning;
        case Icon::Critical:
            return QMessageBox::Critical;
        case Icon::Question:
            return QMessageBox::Question;
        case Icon::None:
            break;
        }
        return QMessageBox::NoIcon;
    }
};

Door<MessageBoxes, RealMessageBoxes> door;

} // namespace

MessageBoxes& messageBoxes() {
    return door.get();
}

void setMessageBoxes(MessageBoxes* replacement) {
    door.install(replacement);
}

void showMessage(const QString& text, Icon icon, const QString& title) {
    messageBoxes().show({text, Buttons::Ok, icon, title});
}

bool askYesNo(const QString& text, const QString& title) {
    return messageBoxes().show({text, Buttons::YesNo, Icon::Question, title}) == Answer::Yes;
}

QString applicationTitle() {
    return QStringLiteral("Orvanta Contacts");
}

} // namespace platform
