#include "sharing/CallCommand.h"

#include "data/DbError.h"
#include "platform/MessageBoxes.h"
#include "sharing/tapiCode.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {

// The program's executable file name without its extension.
QString applicationName() {
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

} // namespace

void callContact(const ContactStore& store, qint64 id, Phone phone, const QString& calledParty) {
    std::optional<QString> number;
    try {
        number = store.phone(id, phone);
    } catch (const DbError&) {
        platform::showMessage(
            QCoreApplication::translate("Calling", "There was an error retrieving data"));
        return;
    }
    if (!number) {
        platform::showMessage(QCoreApplication::translate("Calling", "internal error"));
        return;
    }
    if (number->trimmed().isEmpty()) {
        platform::showMessage(
            QCoreApplication::translate("Calling", "This contact has no number to call."),
            platform::Icon::Information);
        return;
    }
    tapiCode::tapiRequestMakeCall(*number, applicationName(), calledParty,
                                  QStringLiteral("Calling"));
}
