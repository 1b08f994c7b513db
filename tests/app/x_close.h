// Asks an X client to close one of its windows the way a window manager does when the title
// bar's close button is pressed (WM_DELETE_WINDOW); the test server runs no window manager.
#pragma once

#include <QByteArray>

bool closeLikeTitleBar(const QByteArray& display, unsigned long window);
