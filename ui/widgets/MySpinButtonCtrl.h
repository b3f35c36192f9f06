#pragma once

#include "ui/widgets/CFloatNumberEdit.h"

#include <QPointer>
#include <QWidget>

namespace qs::ui {

// A stepping spin button beside its buddy field: each click, or Up/Down key in the buddy, moves
// the buddy's whole number by `step` units per click, kept within the range. The number is always
// read from the buddy, so typing between clicks counts.
class MySpinButtonCtrl final : public QWidget {
    Q_OBJECT

public:
    explicit MySpinButtonCtrl(QWidget *parent = nullptr);

    void setBuddy(CFloatNumberEdit *buddy);
    CFloatNumberEdit *buddy() const { return m_buddy; }
    // Inclusive, in whole units; the bounds may come in either order. Initially 0..2^31-1.
    void setRange(qint64 lower, qint64 upper);
    void setStep(int step) { m_step = step; }
    int step() const { return m_step; }
    // +1 up, -1 down, as a click does. A buddy number outside the range lands on the nearer bound.
    void stepBy(int clicks);

    QSize sizeHint() const override;

Q_SIGNALS:
    // After every step written to the buddy, even one held at a bound.
    void stepped();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<CFloatNumberEdit> m_buddy;
    qint64 m_lower = 0;
    qint64 m_upper = 2147483647;
    int m_step = 1;
};

} // namespace qs::ui
