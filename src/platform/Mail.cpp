#include "platform/Mail.h"

#include "platform/Door.h"
#include "platform/XdgMail.h"

namespace platform {

namespace {
Door<MailService, XdgMail> door;
}

MailService& mailService() {
    return door.get();
}

void setMailService(MailService* replacement) {
    door.install(replacement);
}

void MapiSession::SignOn() {
    m_sessionId = mailService().signOn(LogonUI, DownLoadMail);
    m_signedOn = true;
}

long MapiSession::SessionID() const {
    if (!m_signedOn)
        throw MailError(MailError::Kind::NoMailProgram, "No mail session");
    return m_sessionId;
}

void MapiSession::SignOff() {
    if (!m_signedOn)
        throw MailError(MailError::Kind::NoMailProgram, "No mail session");
    m_signedOn = false;
    mailService().signOff(m_sessionId);
}

void MapiMessages::Compose() {
    MsgSubject.clear();
    MsgNoteText.clear();
    AttachmentPathName.clear();
    AttachmentName.clear();
}

void MapiMessages::Send(bool showDialog, QObject* context, HandoverEnded ended) {
    if (SessionID == 0)
        throw MailError(MailError::Kind::NoMailProgram, "No mail session");
    mailService().send(SessionID, {MsgSubject, MsgNoteText, AttachmentPathName, AttachmentName},
                       showDialog, context, std::move(ended));
}

} // namespace platform
