#include "platform/Telephony.h"

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

Telephony* installed = nullptr;

} // namespace

Telephony& telephony() {
    static DesktopTelephony real;
    return installed ? *installed : real;
}

void setTelephony(Telephony* door) {
    installed = door;
}

} // namespace platform
