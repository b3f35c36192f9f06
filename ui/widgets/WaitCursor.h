#pragma once

#include <QApplication>
#include <QCursor>

namespace qs::ui {

// Shows the wait cursor while a blocking exchange runs on the UI thread.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

} // namespace qs::ui
