#include "support/Doubles.h"

#include <QFile>

platform::Answer ScriptedMessageBoxes::show(const platform::Message& message) {
    m_shown << message;
    if (message.buttons == platform::Buttons::Ok)
        return platform::Answer::Ok;
    if (m_answers.isEmpty()) {
        ++m_unanswered;
        return message.buttons == platform::Buttons::YesNoCancel ? platform::Answer::Cancel
                                                                 : platform::Answer::No;
    }
    const platform::Answer answer = m_answers.takeFirst();
    if (answer == platform::Answer::Cancel && message.buttons != platform::Buttons::YesNoCancel)
        return platform::Answer::No;
    return answer;
}

QStringList ScriptedMessageBoxes::texts() const {
    QStringList all;
    for (const platform::Message& m : m_shown)
        all << m.text;
    return all;
}

QStringList ScriptedMessageBoxes::takeTexts() {
    const QStringList all = texts();
    m_shown.clear();
    return all;
}

void ScriptedMessageBoxes::clear() {
    m_shown.clear();
    m_answers.clear();
    m_unanswered = 0;
}

long RecordingMail::signOn(bool, bool) {
    if (noMailProgram)
        throw platform::MailError(platform::MailError::Kind::NoMailProgram, "no mail program");
    return 42;
}

void RecordingMail::send(long, const platform::MailMessage& message, bool, QObject*,
                         platform::HandoverEnded ended) {
    sent << message;
    QFile file(message.attachmentPathName);
    attachmentContents << (file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
    ended(handover);
}

void RecordingMail::signOff(long) {}

InstalledDoubles::InstalledDoubles() {
    platform::setMessageBoxes(&boxes);
    platform::setMailService(&mail);
}

InstalledDoubles::~InstalledDoubles() {
    platform::setMessageBoxes(nullptr);
    platform::setMailService(nullptr);
}
