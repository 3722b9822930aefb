#include "formats/WriteBack.h"

#include <QFileDevice>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#endif

void startWriteBack(QFileDevice& file, qint64& sent) {
#ifdef Q_OS_LINUX
    constexpr qint64 every = 8 << 20;
    if (!file.flush())
        return;
    const qint64 end = file.pos();
    if (end - sent < every)
        return;
    ::sync_file_range(file.handle(), sent, end - sent, SYNC_FILE_RANGE_WRITE);
    sent = end;
#else
    Q_UNUSED(file);
    Q_UNUSED(sent);
#endif
}
