#pragma once

#include "core/protocol/TypeInfo.h"
#include "ui/orders/OrderLayout.h"

#include <QObject>

class QComboBox;
class QGridLayout;
class QLabel;
class QPushButton;
class QWidget;

namespace qs {
struct TradingData;
}

namespace qs::ui {

class CFloatNumberEdit;
class MySpinButtonCtrl;

// The controls both open dialogs share: the product picker, the lots with "最大" and the range
// label, the stop-loss and the take-profit. Laid into the caller's grid, three columns wide.
class OpenOrderControls final : public QObject {
    Q_OBJECT

public:
    explicit OpenOrderControls(QWidget *dialog);

    // Rows from firstRow on: product, lots, (caller's rows), stop-loss, take-profit.
    void addProductAndLots(QGridLayout &grid, int firstRow);
    void addStops(QGridLayout &grid, int firstRow);

    // The tradable products in list order, under kTypeInfoLock; productId's item is selected.
    void fillPicker(const TradingData &trading, std::int32_t productId);
    // The picker's product id; 0 when nothing is selected.
    std::int32_t selectedProduct() const;
    // Digits, spin ranges, steps and the lot field's first text for this product.
    void applyProduct(const TypeInfo &product);

    QComboBox *picker() const { return m_picker; }
    CFloatNumberEdit *lots() const { return m_lots; }
    CFloatNumberEdit *stopLoss() const { return m_stopLoss; }
    CFloatNumberEdit *takeProfit() const { return m_takeProfit; }
    QPushButton *maxButton() const { return m_max; }

Q_SIGNALS:
    void productChosen(std::int32_t productId);

private:
    QWidget *m_dialog;
    QComboBox *m_picker;
    CFloatNumberEdit *m_lots;
    MySpinButtonCtrl *m_lotSpin;
    QPushButton *m_max;
    QLabel *m_range;
    CFloatNumberEdit *m_stopLoss;
    MySpinButtonCtrl *m_stopLossSpin;
    CFloatNumberEdit *m_takeProfit;
    MySpinButtonCtrl *m_takeProfitSpin;
    QString m_maxText;
};

} // namespace qs::ui
