#pragma once

#include "ui/orders/OrderDialogBase.h"

namespace qs::ui {

class OpenOrderControls;
class SlippageControls;

// "市价建仓单": buy or sell at the market price, with optional stops and allowed slippage.
// Ends with kSucceeded after an order the server carried out.
class COpenOrder final : public OrderDialogBase {
    Q_OBJECT

public:
    static constexpr int kSucceeded = 11;

    COpenOrder(const FrameContext &context, std::int32_t productId, QWidget *parent = nullptr);

    // Direction 1 buys, 2 sells: what "买" and "卖" do.
    void submit(std::int32_t direction);

private:
    void productTicked() override;
    void changeProduct(std::int32_t productId);
    void showProduct();
    void refreshPrices();

    OpenOrderControls *m_controls;
    CPriceStatic *m_buyPrice;
    CPriceStatic *m_sellPrice;
    QPushButton *m_buy;
    QPushButton *m_sell;
    SlippageControls *m_slippage;
};

} // namespace qs::ui
