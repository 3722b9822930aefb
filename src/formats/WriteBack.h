#pragma once

#include <QtGlobal>

class QFileDevice;

// Asks the system to start writing what has been written so far to the
// disk, without waiting for it, every few megabytes: the disk then works
// while the rest is made, and the sync at the end has little left to wait
// for. `sent` is how far it has been asked to. Other devices, and systems
// without the call, are left alone.
void startWriteBack(QFileDevice& file, qint64& sent);
