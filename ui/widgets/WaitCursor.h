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

// The normal cursor while a message box is up, also inside a wait scope: the member is asked to
// act, nothing is running any more.
class NormalCursor {
public:
    NormalCursor()
        : m_covers(QApplication::overrideCursor() != nullptr)
    {
        if (m_covers)
            QApplication::setOverrideCursor(QCursor(Qt::ArrowCursor));
    }
    ~NormalCursor()
    {
        if (m_covers)
            QApplication::restoreOverrideCursor();
    }
    NormalCursor(const NormalCursor &) = delete;
    NormalCursor &operator=(const NormalCursor &) = delete;

private:
    const bool m_covers;
};

} // namespace qs::ui
