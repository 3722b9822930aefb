#include "support/FileDialogDouble.h"

ScriptedFileDialogs::ScriptedFileDialogs() {
    platform::setFileDialogs(this);
}

ScriptedFileDialogs::~ScriptedFileDialogs() {
    platform::setFileDialogs(nullptr);
}

platform::FileChoice ScriptedFileDialogs::open(const platform::FileRequest& request) {
    return answer(false, request);
}

platform::FileChoice ScriptedFileDialogs::save(const platform::FileRequest& request) {
    return answer(true, request);
}

platform::FileChoice ScriptedFileDialogs::answer(bool save, const platform::FileRequest& request) {
    shown << Shown{save, request};
    if (m_answers.isEmpty()) {
        ++unexpected;
        return {};
    }
    return m_answers.takeFirst();
}
