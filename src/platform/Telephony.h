#pragma once

#include <QString>
#include <QUrl>

namespace platform {

// The telephony door: the system's call-request service. The program hands
// over a number and three texts that describe the call; placing it belongs to
// the desktop's call handler. The result says whether the request was handed
// over; the program does not act on it.
class Telephony {
public:
    virtual ~Telephony() = default;
    virtual bool requestMakeCall(const QString& destination, const QString& appName,
                                 const QString& calledParty, const QString& comment) = 0;
};

// The "tel:" link of a number, as the desktop's call handler gets it.
QUrl telUrl(const QString& number);

// The door in use: the real one unless a test installed another.
Telephony& telephony();
// Installs a door (nullptr restores the real one). The caller keeps ownership.
void setTelephony(Telephony* door);

} // namespace platform
