#include "platform/Telephony.h"

#include "platform/Door.h"

#include <QDesktopServices>
#include <QUrl>

namespace platform {

namespace {

// Hands the number to the desktop's handler of "tel:" links, which dials it
// or offers to. The other texts have no place in such a link.
class DesktopTelephony : public Telephony {
public:
    bool requestMakeCall(const QString& destination, const QString&, const QString&,
                         const QString&) override {
        return QDesktopServices::openUrl(QUrl(QStringLiteral("tel:") + destination));
    }
};

Door<Telephony, DesktopTelephony> door;

} // namespace

Telephony& telephony() {
    return door.get();
}

void setTelephony(Telephony* replacement) {
    door.install(replacement);
}

} // namespace platform
