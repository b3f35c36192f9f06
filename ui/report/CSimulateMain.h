#pragma once

#include "ui/FrameContext.h"
#include "ui/OrderWindows.h"
#include "ui/TradingNotices.h"

#include <QDialog>

class QTabWidget;

namespace qs::ui {

class CSPage1;
class CSpage2;
class CSPage3;
class CSPage4;
class CSpage5;
class CSPage6;
class ReportPage;

// "交易报表": six tabs over the member's simulated account; the caption is the account bar,
// refreshed on every tick.
class CSimulateMain final : public QDialog, public NoticeReceiver {
    Q_OBJECT

public:
    CSimulateMain(const FrameContext &context, const OrderWindows &orderWindows,
                  QWidget *parent = nullptr);

    QTabWidget *tabs() const { return m_tabs; }
    CSPage1 *positionsPage() const { return m_positions; }
    CSpage2 *summaryPage() const { return m_summary; }
    CSPage3 *ordersPage() const { return m_orders; }
    CSPage4 *dealsPage() const { return m_deals; }
    CSpage5 *accountPage() const { return m_account; }
    CSPage6 *productPage() const { return m_product; }

    // The caption after a tick, or after a page changed a position or an order.
    void refreshAccountBar();

protected:
    void ticked(const KLineBar &tick) override;

private:
    void showAccountBar(bool afterTick);
    void pageSelected(int index);

    FrameContext m_context;
    QTabWidget *m_tabs;
    CSPage1 *m_positions;
    CSpage2 *m_summary;
    CSPage3 *m_orders;
    CSPage4 *m_deals;
    CSpage5 *m_account;
    CSPage6 *m_product;
};

} // namespace qs::ui
