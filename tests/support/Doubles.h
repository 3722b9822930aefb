#pragma once

#include "platform/Mail.h"
#include "platform/MessageBoxes.h"

#include <QFile>
#include <QList>
#include <QStringList>

// The message door's double: records every box and answers from a script; a
// question nobody planned is counted and answered No (or Cancel where offered).
class ScriptedMessageBoxes : public platform::MessageBoxes {
public:
    platform::Answer show(const platform::Message& message) override {
        using platform::Answer;
        m_shown << message;
        const bool offersCancel = message.buttons == platform::Buttons::YesNoCancel;
        if (message.buttons == platform::Buttons::Ok)
            return Answer::Ok;
        if (m_answers.isEmpty())
            ++m_unanswered;
        const Answer answer = m_answers.isEmpty() ? Answer::Cancel : m_answers.takeFirst();
        return answer == Answer::Cancel && !offersCancel ? Answer::No : answer;
    }

    void answerNext(platform::Answer answer) { m_answers << answer; }
    void answerYes() { answerNext(platform::Answer::Yes); }
    void answerNo() { answerNext(platform::Answer::No); }
    // Escape or the close button: Cancel where the question offers it, else No.
    void answerCancel() { answerNext(platform::Answer::Cancel); }

    const QList<platform::Message>& shown() const { return m_shown; }
    QStringList texts() const { // every box's text, in order
        QStringList all;
        for (const platform::Message& m : m_shown)
            all << m.text;
        return all;
    }
    QStringList takeTexts() { // the same, then forgets them
        const QStringList all = texts();
        m_shown.clear();
        return all;
    }
    int unansweredQuestions() const { return m_unanswered; }
    void clear() {
        m_shown.clear();
        m_answers.clear();
        m_unanswered = 0;
    }

private:
    QList<platform::Message> m_shown;
    QList<platform::Answer> m_answers;
    int m_unanswered = 0;
};

// The mail door's double: records the messages sent and ends each hand-over at
// once as `handover` says; `noMailProgram` fails the sign-on.
class RecordingMail : public platform::MailService {
public:
    long signOn(bool, bool) override {
        if (noMailProgram)
            throw platform::MailError(platform::MailError::Kind::NoMailProgram, "no mail program");
        return 42;
    }
    void send(long, const platform::MailMessage& message, bool, QObject*,
              platform::HandoverEnded ended) override {
        sent << message;
        QFile file(message.attachmentPathName);
        attachmentContents << (file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
        ended(handover);
    }
    void signOff(long) override {}

    bool noMailProgram = false;
    platform::Handover handover = platform::Handover::Taken;
    QList<platform::MailMessage> sent;
    QList<QByteArray> attachmentContents; // the file as it was when sent
};

// Installs both doubles for its lifetime and restores the real doors after.
struct InstalledDoubles {
    ScriptedMessageBoxes boxes;
    RecordingMail mail;
    InstalledDoubles() {
        platform::setMessageBoxes(&boxes);
        platform::setMailService(&mail);
    }
    ~InstalledDoubles() {
        platform::setMessageBoxes(nullptr);
        platform::setMailService(nullptr);
    }
};
