#pragma once

#include "platform/Mail.h"
#include "platform/MessageBoxes.h"

#include <QList>
#include <QStringList>

// The message door's double: answers questions from a script and records
// every box. A question without a scripted answer is recorded as unexpected
// and answered No (Cancel where the question offers it), so nothing is ever
// changed by a box nobody planned.
class ScriptedMessageBoxes : public platform::MessageBoxes {
public:
    platform::Answer show(const platform::Message& message) override;

    void answerNext(platform::Answer answer) { m_answers << answer; }
    void answerYes() { answerNext(platform::Answer::Yes); }
    void answerNo() { answerNext(platform::Answer::No); }
    // Escape or the close button: Cancel where the question offers it, else No.
    void answerCancel() { answerNext(platform::Answer::Cancel); }

    const QList<platform::Message>& shown() const { return m_shown; }
    QStringList texts() const; // every box's text, in order
    QStringList takeTexts();   // the same, then forgets them
    int unansweredQuestions() const { return m_unanswered; }
    void clear();

private:
    QList<platform::Message> m_shown;
    QList<platform::Answer> m_answers;
    int m_unanswered = 0;
};

// The mail door's double: records the messages sent and tells each
// hand-over's end at once, as `handover` says. With `noMailProgram` set, the
// sign-on fails as it does on a desktop without one.
class RecordingMail : public platform::MailService {
public:
    long signOn(bool logonUI, bool downloadMail) override;
    void send(long sessionId, const platform::MailMessage& message, bool showDialog,
              QObject* context, platform::HandoverEnded ended) override;
    void signOff(long sessionId) override;

    bool noMailProgram = false;
    platform::Handover handover = platform::Handover::Taken;
    QList<platform::MailMessage> sent;
    QList<QByteArray> attachmentContents; // the file as it was when sent
};

// Installs both doubles for its lifetime and restores the real doors after.
class InstalledDoubles {
public:
    InstalledDoubles();
    ~InstalledDoubles();
    ScriptedMessageBoxes boxes;
    RecordingMail mail;
};
