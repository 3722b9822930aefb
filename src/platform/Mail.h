#pragma once

#include <QString>

#include <functional>
#include <stdexcept>

class QObject;

namespace platform {

// A failure before a message reached the mail program: there is none (no
// service, a refused sign-on), or the hand-over could not be prepared.
class MailError : public std::runtime_error {
public:
    enum class Kind { NoMailProgram, NotHandedOver };
    MailError(Kind kind, const char* what) : std::runtime_error(what), kind(kind) {}
    Kind kind;
};

// How a hand-over ended: the mail program took the message, or refused it
// (it failed, crashed or could not be started).
enum class Handover { Taken, Refused };
using HandoverEnded = std::function<void(Handover)>;

struct MailMessage {
    QString subject;
    QString noteText;
    QString attachmentPathName; // the file to attach
    QString attachmentName;     // the name it is shown under
};

// The mail door: the system's simple mail service.
class MailService {
public:
    virtual ~MailService() = default;
    virtual long signOn(bool logonUI, bool downloadMail) = 0; // returns the session id
    // Hands the message over and returns at once, without waiting for the
    // mail program. `ended` is called later on this thread, unless `context`
    // is gone by then. A failure before anything was handed over throws.
    virtual void send(long sessionId, const MailMessage& message, bool showDialog, QObject* context,
                      HandoverEnded ended) = 0;
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

    void Compose(); // starts a new, empty message
    // Returns once the message is handed over; `ended` tells how that ended,
    // as MailService::send does. Throws MailError.
    void Send(bool showDialog, QObject* context, HandoverEnded ended);
};

} // namespace platform
