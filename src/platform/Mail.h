#pragma once

#include <QString>

#include <stdexcept>

namespace platform {

// A failure of the mail service: no service, a refused sign-on, a send that
// did not go through or was cancelled.
class MailError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct MailMessage {
    QString subject;
    QString noteText;
    QString attachmentPathName; // the file to attach
    QString attachmentName;     // the name it is shown under
};

// The mail door: the system's simple mail service. Failures throw MailError.
class MailService {
public:
    virtual ~MailService() = default;
    virtual long signOn(bool logonUI, bool downloadMail) = 0; // returns the session id
    virtual void send(long sessionId, const MailMessage& message, bool showDialog) = 0;
    virtual void signOff(long sessionId) = 0;
    // Removes what earlier sends left for the mail program to read; a service
    // that leaves nothing behind has nothing to do.
    virtual void removeEarlierAttachments() {}
};

MailService& mailService();
void setMailService(MailService* door); // nullptr restores the real one

// The session control of the main window.
class MapiSession {
public:
    bool LogonUI = false;
    bool DownLoadMail = true;
    bool NewSession = false;

    void SignOn(); // throws MailError
    long SessionID() const;
    void SignOff(); // throws MailError when there is no session

private:
    long m_sessionId = 0;
    bool m_signedOn = false;
};

// The outgoing-message control of the main window.
class MapiMessages {
public:
    long SessionID = 0;
    QString MsgSubject;
    QString MsgNoteText;
    QString AttachmentPathName;
    QString AttachmentName;

    void Compose();             // starts a new, empty message
    void Send(bool showDialog); // throws MailError
};

} // namespace platform
