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
        return QDesktopServices::openUrl(telUrl(destination));
    }
};

Door<Telephony, DesktopTelephony> door;

} // namespace

// Every mark that could end the path or start a host, a query or a fragment
// is percent-encoded, so the whole number is the link's path; the visual
// separators of a telephone number stay readable.
QUrl telUrl(const QString& number) {
    return QUrl::fromEncoded("tel:" + QUrl::toPercentEncoding(number, "+()"), QUrl::StrictMode);
}

Telephony& telephony() {
    return door.get();
}

void setTelephony(Telephony* replacement) {
    door.install(replacement);
}

} // namespace platform
