#include "support/FileDialogDouble.h"

ScriptedFileDialogs::ScriptedFileDialogs() {
    platform::setFileDialogs(this);
}

ScriptedFileDialogs::~ScriptedFileDialogs() {
    platform::setFileDialogs(nullptr);
}

platform::FileChoice ScriptedFileDialogs::open(const platform::FileRequest& request) {
    return answer(request);
}

platform::FileChoice ScriptedFileDialogs::save(const platform::FileRequest& request) {
    return answer(request);
}

platform::FileChoice ScriptedFileDialogs::answer(const platform::FileRequest& request) {
    shown << request;
    if (m_answers.isEmpty()) {
        ++unexpected;
        return {};
    }
    return m_answers.takeFirst();
}
