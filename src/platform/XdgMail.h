#pragma once

#include "platform/Mail.h"

namespace platform {

// The mail service of a Linux desktop: the user's mail program, reached
// through xdg-email. Signing on succeeds when xdg-email is on PATH. The mail
// program reads the attachment after xdg-email returns, so each send leaves
// its copy in a folder of its own, which the next send or the next start
// removes.
class XdgMail : public MailService {
public:
    long signOn(bool logonUI, bool downloadMail) override;
    void send(long sessionId, const MailMessage& message, bool showDialog) override;
    void signOff(long sessionId) override;
    void removeEarlierAttachments() override;
};

} // namespace platform
