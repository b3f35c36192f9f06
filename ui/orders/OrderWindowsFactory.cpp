#include "ui/orders/OrderWindowsFactory.h"

#include "ui/orders/CModifyDelegate.h"
#include "ui/orders/COrderModify.h"
#include "ui/orders/COrderSJClose.h"
#include "ui/orders/COrderZJClose.h"

namespace qs::ui {

OrderWindows MakeOrderWindows(const FrameContext &context)
{
    OrderWindows windows;
    windows.modifyStops = [context](const HoldInfo &position, QWidget *parent) {
        COrderModify dialog(context, position, parent);
        return dialog.exec() == COrderModify::kSucceeded;
    };
    windows.closeAtMarket = [context](const HoldInfo &position, QWidget *parent) {
        COrderSJClose dialog(context, position, parent);
        return dialog.exec() == COrderSJClose::kSucceeded;
    };
    windows.closeAtLimit = [context](const HoldInfo &position, QWidget *parent) {
        COrderZJClose dialog(context, position, parent);
        dialog.exec();
    };
    windows.changeOrder = [context](const DelegateInfo &order, QWidget *parent) {
        CModifyDelegate dialog(context, order, parent);
        return dialog.exec() == CModifyDelegate::kSucceeded;
    };
    return windows;
}

} // namespace qs::ui
