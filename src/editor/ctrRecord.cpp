#include "editor/ctrRecord.h"

ctrRecord::ctrRecord(QWidget* parent) : QWidget(parent) {}

void ctrRecord::setupcontrol() {}

void ctrRecord::LoadRecordForEditing(const QString&) {}
