#include "platform/FileDialogs.h"

#include "platform/Door.h"

#include <QApplication>
#include <QFileDialog>

namespace platform {

namespace {

class RealFileDialogs : public FileDialogs {
public:
    FileChoice open(const FileRequest& request) override {
        QFileDialog dialog(QApplication::activeWindow(), request.title, request.path);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        return run(dialog, request);
    }

    FileChoice save(const FileRequest& request) override {
        QFileDialog dialog(QApplication::activeWindow(), request.title);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(request.defaultSuffix);
        dialog.selectFile(request.path);
        return run(dialog, request);
    }

private:
    static FileChoice run(QFileDialog& dialog, const FileRequest& request) {
        dialog.setNameFilters(request.filters);
        if (!request.filters.isEmpty())
            dialog.selectNameFilter(request.filters.first());
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        return {dialog.selectedFiles().first(),
                qMax(0, int(request.filters.indexOf(dialog.selectedNameFilter())))};
    }
};

Door<FileDialogs, RealFileDialogs> door;

} // namespace

FileDialogs& fileDialogs() {
    return door.get();
}

void setFileDialogs(FileDialogs* replacement) {
    door.install(replacement);
}

} // namespace platform
