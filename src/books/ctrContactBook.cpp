#include "books/ctrContactBook.h"

ctrContactBook::ctrContactBook(QWidget* parent) : QWidget(parent) {}

void ctrContactBook::refreshData() {}
