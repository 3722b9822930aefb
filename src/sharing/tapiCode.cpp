#include "sharing/tapiCode.h"

#include "platform/Telephony.h"

bool tapiCode::tapiRequestMakeCall(const QString& DestAddress, const QString& AppName,
                                   const QString& CalledParty, const QString& Comment) {
    return platform::telephony().requestMakeCall(DestAddress, AppName, CalledParty, Comment);
}
