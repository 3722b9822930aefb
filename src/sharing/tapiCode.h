#pragma once

#include <QString>

// The telephony declaration: the one request the program makes of the
// system's call-request service. It hands over the number to call, the
// name of the asking program, the called party and a comment, and returns
// whether the request was handed over; the program places no call itself.
namespace tapiCode {
bool tapiRequestMakeCall(const QString& DestAddress, const QString& AppName,
                         const QString& CalledParty, const QString& Comment);
}
