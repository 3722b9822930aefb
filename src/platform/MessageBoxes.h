#pragma once

#include <QString>

class QWidget;

namespace platform {

// YesNo: Escape or closing the box answers No. YesNoCancel shows the same two
// buttons, but Escape or closing the box answers Cancel: the user backs out.
enum class Buttons { Ok, YesNo, YesNoCancel };
enum class Icon { None, Information, Exclamation, Critical, Question };
enum class Answer { Ok, Yes, No, Cancel };

struct Message {
    QString text;
    Buttons buttons = Buttons::Ok;
    Icon icon = Icon::None;
    QString title; // empty: the application title "Orvanta Contacts"
};

// The message door: every message box of the program goes through it. The
// text is plain text: a name with "<b>" in it shows those characters.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual Answer show(const Message& message) = 0;
};

// The door in use: the real one unless a test installed another.
MessageBoxes& messageBoxes();
// Installs a door (nullptr restores the real one). The caller keeps ownership.
void setMessageBoxes(MessageBoxes* door);

// Shorthands for the two shapes the program uses.
void showMessage(const QString& text, Icon icon = Icon::None, const QString& title = {});
// Yes/No with the question icon, Yes the default; true when Yes was answered.
bool askYesNo(const QString& text, const QString& title = {});

// The title every box without one of its own shows.
QString applicationTitle();

} // namespace platform
