#pragma once

#include <QRect>

class QWidget;

// The main window's place and size, remembered between runs in the user's
// settings (~/.config/Orvanta/Orvanta Contacts.conf). Nothing else is kept.

// The saved rectangle moved, and shrunk where it must, to lie inside the
// screen's available area.
QRect fittedOnto(const QRect& saved, const QRect& available);

void saveWindowGeometry(const QWidget& window);
// Puts the window where it was, fitted onto the screen it was on (or the
// primary one, when that screen is gone); false when nothing was saved.
bool restoreWindowGeometry(QWidget& window);
