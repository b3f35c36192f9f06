#pragma once

#include "core/protocol/HoldInfo.h"
#include "ui/orders/OrderDialogBase.h"

class QComboBox;

namespace qs::ui {

class CFloatNumberEdit;

// "指价平仓": a pending order that closes all or part of one position when the market reaches
// the typed price, with stops of its own. The bounds shown are a guide only: whatever is typed
// is sent. The server's record of the new order joins the pending-order list.
class COrderZJClose final : public OrderDialogBase {
    Q_OBJECT

public:
    // A success ends the dialog with 0, the same value as a cancel: openers and tests ask
    // succeeded() to tell the two apart.
    static constexpr int kSucceeded = 0;

    COrderZJClose(const FrameContext &context, const HoldInfo &position, QWidget *parent = nullptr);

    // What "确认" does.
    void submit();
    // True once the server placed the order.
    bool succeeded() const { return m_succeeded; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void tickArrived(const KLineBar &tick) override;
    void showStopBounds();

    const HoldInfo m_position;
    CFloatNumberEdit *m_lots;
    CFloatNumberEdit *m_price;
    CFloatNumberEdit *m_stopLoss;
    CFloatNumberEdit *m_takeProfit;
    CPriceStatic *m_closingPrice;
    CPriceStatic *m_stopLossBound;
    CPriceStatic *m_takeProfitBound;
    QComboBox *m_validity;
    bool m_succeeded = false;
};

} // namespace qs::ui
