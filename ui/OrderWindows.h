#pragma once

#include <functional>

class QWidget;

namespace qs {
struct DelegateInfo;
struct HoldInfo;
} // namespace qs

namespace qs::ui {

// The order dialogs another window opens on a copy of a record, modal over parent. True when
// the server took the change.
struct OrderWindows {
    std::function<bool(const HoldInfo &, QWidget *parent)> modifyStops;
    std::function<bool(const HoldInfo &, QWidget *parent)> closeAtMarket;
    // Its success places an order, which the caller does not refill for.
    std::function<void(const HoldInfo &, QWidget *parent)> closeAtLimit;
    std::function<bool(const DelegateInfo &, QWidget *parent)> changeOrder;
};

} // namespace qs::ui
