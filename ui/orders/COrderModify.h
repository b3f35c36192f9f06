#pragma once

#include "core/protocol/HoldInfo.h"
#include "ui/orders/OrderDialogBase.h"

namespace qs::ui {

class CFloatNumberEdit;

// "修改订单": new stop-loss and take-profit for one open position, each against the bound the
// live price of the position's side allows. Ends with kSucceeded once the server's record of
// the changed position has replaced the list's.
class COrderModify final : public OrderDialogBase {
    Q_OBJECT

public:
    static constexpr int kSucceeded = 1;

    COrderModify(const FrameContext &context, const HoldInfo &position, QWidget *parent = nullptr);

    void submit();

private:
    void productTicked() override;
    void showBounds();

    const HoldInfo m_position;
    CFloatNumberEdit *m_stopLoss;
    CFloatNumberEdit *m_takeProfit;
    CPriceStatic *m_stopLossBound;
    CPriceStatic *m_takeProfitBound;
};

} // namespace qs::ui
