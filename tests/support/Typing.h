#pragma once

#include <QString>

class QWidget;

// Types text into a widget key by key, as a user would; unlike
// QTest::keyClicks it also types letters outside ASCII. A line break is the
// Return key.
void typeText(QWidget* widget, const QString& text);
