#pragma once

#include "core/protocol/HoldInfo.h"
#include "ui/orders/OrderDialogBase.h"

namespace qs::ui {

class CFloatNumberEdit;
class SlippageControls;

// "市价平仓": closes all or part of one position at the market price; the server decides whether
// the lots and the price are acceptable. On success the holdings are fetched again on the
// request's own connection and the dialog ends with kSucceeded.
class COrderSJClose final : public OrderDialogBase {
    Q_OBJECT

public:
    static constexpr int kSucceeded = 1;

    COrderSJClose(const FrameContext &context, const HoldInfo &position, QWidget *parent = nullptr);

    // What "平仓" does.
    void submit();

private:
    void productTicked() override;
    void showClosingPrice();

    const HoldInfo m_position;
    CFloatNumberEdit *m_lots;
    CPriceStatic *m_closingPrice;
    SlippageControls *m_slippage;
};

} // namespace qs::ui
