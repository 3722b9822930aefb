#pragma once

#include "platform/FileDialogs.h"

#include <QList>

// The file dialog door's double: answers from a script and records every
// request. A dialog without a scripted answer is recorded as unexpected and
// cancelled. Installs itself for its lifetime.
class ScriptedFileDialogs : public platform::FileDialogs {
public:
    ScriptedFileDialogs();
    ~ScriptedFileDialogs() override;

    // The next dialog's answer: a file (and the index of the filter chosen),
    // or an empty path for Cancel.
    void choose(const QString& path, int filter = 0) {
        m_answers << platform::FileChoice{path, filter};
    }

    platform::FileChoice open(const platform::FileRequest& request) override;
    platform::FileChoice save(const platform::FileRequest& request) override;

    QList<platform::FileRequest> shown;
    int unexpected = 0;

private:
    platform::FileChoice answer(const platform::FileRequest& request);
    QList<platform::FileChoice> m_answers;
};
