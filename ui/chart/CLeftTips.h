#pragma once

#include "core/chart/LeftTipsLayout.h"
#include "core/protocol/KLineBar.h"
#include "core/protocol/TypeInfo.h"

#include <QWidget>

#include <cstdint>

namespace qs {
struct TradingData;
}

namespace qs::ui {

// The strip left of the chart: its price axis and, while the cross cursor is in use, the
// details of the bar under the cursor. Painted whole from an off-screen image; never erased.
class CLeftTips final : public QWidget {
    Q_OBJECT

public:
    explicit CLeftTips(const TradingData &trading, QWidget *parent = nullptr);

    // A grid step of -1 keeps the one stored. Copies the product's record for its digits.
    void updateAxis(int gridStep, std::int32_t highest, float scale, int yOrigin, int productId);
    void updateDetails(const KLineBar &bar, float cursorY);
    void setDetailsOn(bool on);

    bool detailsOn() const { return m_detailsOn; }
    const LeftAxis &axis() const { return m_axis; }
    const KLineBar &bar() const { return m_bar; }
    float cursorY() const { return m_cursorY; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    const TradingData &m_trading;
    LeftAxis m_axis;
    bool m_detailsOn = false;
    KLineBar m_bar{};
    float m_cursorY = 0.0f;
    TypeInfo m_product{};
};

} // namespace qs::ui
