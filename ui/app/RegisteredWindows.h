#pragma once

#include "core/protocol/KLineBar.h"

#include <QPointer>
#include <QWidget>

#include <vector>

namespace qs::ui {

// The main frame's list of windows that hear about price ticks and refreshes. UI thread only:
// the push thread's notices reach it as posted copies.
class RegisteredWindows {
public:
    // A window is listed once; registering again moves it to the end.
    void add(QWidget *window);
    // Windows that have closed drop out as they are visited.
    std::size_t count();

    // For each window: 1032 if either flag is set, 1033 if orders changed, then 1031 with the tick.
    void deliver(bool holdChanged, bool delegateChanged, const KLineBar &tick);

private:
    void dropClosed();

    std::vector<QPointer<QWidget>> m_windows;
};

} // namespace qs::ui
