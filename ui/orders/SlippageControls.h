#pragma once

#include <QObject>
#include <QString>

class QCheckBox;
class QLayout;
class QWidget;

namespace qs::ui {

class CFloatNumberEdit;
class MySpinButtonCtrl;

// "允许成交价和报价的最大点差" of the market dialogs: the box (1039, starts ticked), the allowed
// slippage at 4 decimals (1040, negatives may be typed: they are sent as they are) and its spin
// (1041).
class SlippageControls final : public QObject {
    Q_OBJECT

public:
    explicit SlippageControls(QWidget *dialog);

    // The box, then the field with its spin.
    QLayout *row() const;
    // The start value in whole units. The spin reaches at least ten times it, so that its up
    // arrow never lowers a start value above the usual 0-1000 units.
    void setStartUnits(const QString &units);

    bool ticked() const;
    double value() const;

private:
    QCheckBox *m_use;
    CFloatNumberEdit *m_field;
    MySpinButtonCtrl *m_spin;
};

} // namespace qs::ui
