#pragma once

#include "ui/FrameContext.h"

#include <QDialog>

class QComboBox;
class QLineEdit;

namespace qs {
class AlertList;
}

namespace qs::ui {

class CSortListCtrl;

// "价格预警设置": the member's price alerts, a new one added, one deleted from the popup. A
// reached alert that leaves the list refills it while the dialog is open.
class CPriceAlter final : public QDialog {
    Q_OBJECT

public:
    CPriceAlter(const FrameContext &context, AlertList &alerts, QWidget *parent = nullptr);

    CSortListCtrl *list() const { return m_list; }
    void fill();
    // What "保存" does.
    void add();
    // What the popup's "删除" does, on the selected row.
    void deleteSelected();

private:
    void showMenu(const QPoint &at);

    FrameContext m_context;
    AlertList &m_alerts;
    QComboBox *m_product;
    QComboBox *m_condition;
    QLineEdit *m_price;
    CSortListCtrl *m_list;
};

} // namespace qs::ui
