#pragma once

#include "ui/orders/OrderDialogBase.h"

class QComboBox;

namespace qs::ui {

class CFloatNumberEdit;
class OpenOrderControls;

// "指价建仓单": a pending order that opens a position when the market reaches the typed price,
// valid for the day or the week. Ends with kSucceeded once the server placed it.
class COpenOrderZj final : public OrderDialogBase {
    Q_OBJECT

public:
    static constexpr int kSucceeded = 12;

    COpenOrderZj(const FrameContext &context, std::int32_t productId, QWidget *parent = nullptr);

    // Direction 1 buys, 2 sells: what the two order buttons do.
    void submit(std::int32_t direction);

private:
    void productTicked() override;
    void changeProduct(std::int32_t productId);
    void showProduct();
    void refreshButtonTexts();

    OpenOrderControls *m_controls;
    CFloatNumberEdit *m_price;
    QComboBox *m_validity;
    QPushButton *m_buy;
    QPushButton *m_sell;
};

} // namespace qs::ui
