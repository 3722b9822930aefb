#pragma once

#include "platform/Mail.h"

namespace platform {

// The mail service of a Linux desktop: the user's mail program, reached
// through xdg-email. Signing on succeeds when xdg-email is on PATH. A send
// starts xdg-email and returns; its end is told when it comes. The mail
// program reads the attachment after xdg-email has ended, so each send
// leaves its copy in a folder of its own, which a later send or the next
// start removes once its hand-over has ended.
class XdgMail : public MailService {
public:
    long signOn(bool logonUI, bool downloadMail) override;
    void send(long sessionId, const MailMessage& message, bool showDialog, QObject* context,
              HandoverEnded ended) override;
    void signOff(long sessionId) override;
    void removeEarlierAttachments() override;

    // The hand-overs started whose end has not been told yet.
    static int handoversRunning();
};

} // namespace platform
