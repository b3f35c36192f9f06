#include "ui/app/RegisteredWindows.h"

#include "ui/app/WindowNotices.h"

#include <QCoreApplication>

#include <algorithm>

namespace qs::ui {

void RegisteredWindows::add(QWidget *window)
{
    dropClosed();
    std::erase_if(m_windows, [window](const QPointer<QWidget> &entry) { return entry == window; });
    m_windows.emplace_back(window);
}

std::size_t RegisteredWindows::count()
{
    dropClosed();
    return m_windows.size();
}

void RegisteredWindows::dropClosed()
{
    std::erase_if(m_windows, [](const QPointer<QWidget> &entry) { return entry.isNull(); });
}

void RegisteredWindows::deliver(bool holdChanged, bool delegateChanged, const KLineBar &tick)
{
    dropClosed();
    // A handler may open a window that registers itself: walk a copy.
    const std::vector<QPointer<QWidget>> windows = m_windows;
    for (const QPointer<QWidget> &window : windows) {
        if (window.isNull())
            continue;
        if (holdChanged || delegateChanged) {
            HoldChangedEvent hold;
            QCoreApplication::sendEvent(window, &hold);
        }
        if (delegateChanged && !window.isNull()) {
            DelegateChangedEvent orders;
            QCoreApplication::sendEvent(window, &orders);
        }
        if (!window.isNull()) {
            PriceTickEvent priceTick(tick);
            QCoreApplication::sendEvent(window, &priceTick);
        }
    }
}

} // namespace qs::ui
