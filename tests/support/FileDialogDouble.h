#pragma once

#include "platform/FileDialogs.h"

#include <QList>

// The file dialog door's double, installed for its lifetime: answers from a
// script, else Cancel, and records every request.
class ScriptedFileDialogs : public platform::FileDialogs {
public:
    ScriptedFileDialogs() { platform::setFileDialogs(this); }
    ~ScriptedFileDialogs() override { platform::setFileDialogs(nullptr); }

    // The next dialog's answer: a file (and the index of the filter chosen),
    // or an empty path for Cancel.
    void choose(const QString& path, int filter = 0) {
        m_answers << platform::FileChoice{path, filter};
    }

    platform::FileChoice open(const platform::FileRequest& request) override {
        return answer(request);
    }
    platform::FileChoice save(const platform::FileRequest& request) override {
        return answer(request);
    }

    QList<platform::FileRequest> shown;

private:
    platform::FileChoice answer(const platform::FileRequest& request) {
        shown << request;
        return m_answers.isEmpty() ? platform::FileChoice{} : m_answers.takeFirst();
    }
    QList<platform::FileChoice> m_answers;
};
