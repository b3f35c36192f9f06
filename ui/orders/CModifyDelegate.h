#pragma once

#include "core/protocol/DelegateInfo.h"
#include "ui/orders/OrderDialogBase.h"

class QComboBox;

namespace qs::ui {

class CFloatNumberEdit;
class MySpinButtonCtrl;

// "修改指价订单": lots, limit price, stops and validity of a waiting pending order, checked
// against the bounds it shows. Ends with kSucceeded once the server changed the order.
class CModifyDelegate final : public OrderDialogBase {
    Q_OBJECT

public:
    static constexpr int kSucceeded = 1;

    CModifyDelegate(const FrameContext &context, const DelegateInfo &order,
                    QWidget *parent = nullptr);

    void submit();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void productTicked() override;
    void showPriceBounds();
    void showStopBounds(double price);

    const DelegateInfo m_order;
    CFloatNumberEdit *m_lots;
    CFloatNumberEdit *m_price;
    CFloatNumberEdit *m_stopLoss;
    CFloatNumberEdit *m_takeProfit;
    QComboBox *m_validity;
    CPriceStatic *m_lowerBound;
    CPriceStatic *m_upperBound;
    CPriceStatic *m_stopLossBound;
    CPriceStatic *m_takeProfitBound;
    QString m_maxText;
};

} // namespace qs::ui
