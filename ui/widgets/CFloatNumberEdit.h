#pragma once

#include <QLineEdit>
#include <QString>

class QRegularExpressionValidator;

namespace qs::ui {

// A number field that talks in whole units of 10^-digits to the program and to its spin button,
// and shows the decimal. Text the program writes is whole units; text the user types is decimal.
class CFloatNumberEdit final : public QLineEdit {
    Q_OBJECT

public:
    explicit CFloatNumberEdit(QWidget *parent = nullptr);

    // Keeps the whole number across the change: 1765.30 at 2 digits shows 176.530 at 3, and an
    // empty field shows 0 with the new decimals.
    void setDigits(int digits);
    int digits() const { return m_digits; }
    // 10^digits (1/10^|digits| for negative digits); 1 until digits are set.
    float scale() const { return m_scale; }

    // Whole units in, e.g. "%g" or "%d" of value x 10^digits: shows units / scale with exactly
    // `digits` decimals. Text that is not a number counts as 0.
    void setUnitsText(const QString &units);
    // The whole number nearest to value x scale, halves away from zero, within 32 bits; also
    // rewrites the shown text with `digits` decimals (1.5 becomes 1.50 at 2 digits).
    qint64 readWholeUnits();
    // The shown decimal as a double; 0 when the text does not start with a finite number.
    double value() const;

    // What typing and pasting may leave in the field: digits and one decimal point, and a
    // leading minus only where negatives are allowed (off until set). The program's own texts
    // are not checked.
    void setAllowsNegative(bool allowed);
    bool allowsNegative() const { return m_allowsNegative; }

protected:
    void changeEvent(QEvent *event) override;

private:
    QString decimalText(double number) const;
    void updateMinimumWidth();

    int m_digits = 0;
    float m_scale = 1.0f;
    bool m_allowsNegative = false;
    QRegularExpressionValidator *m_numbers;
};

} // namespace qs::ui
