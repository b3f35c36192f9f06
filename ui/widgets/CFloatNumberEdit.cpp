#include "ui/widgets/CFloatNumberEdit.h"

#include "core/platform/PriceFormat.h"

#include <QEvent>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QStyle>
#include <QStyleOptionFrame>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

namespace qs::ui {
namespace {

// Digits are [0-9]: other scripts' digits would pass a Unicode class and then read as no number.
QRegularExpression NumberPattern(bool allowsNegative)
{
    return QRegularExpression(allowsNegative ? QStringLiteral("-?[0-9]*\\.?[0-9]*")
                                             : QStringLiteral("[0-9]*\\.?[0-9]*"));
}

// The longest number a dialog puts in a field (a price or a lot count) fits in this.
const QString kWidestText = QStringLiteral("0000000.000");

// Like a C conversion: the leading number counts, trailing rubbish is ignored, no number is 0.
// An infinity or NaN is 0 as well, so no order rule ever compares against one.
double LeadingNumber(const QString &text)
{
    const QByteArray bytes = text.trimmed().toLatin1();
    const char *first = bytes.constData();
    const char *const last = first + bytes.size();
    if (first != last && *first == '+') {
        ++first;
        if (first != last && *first == '-')
            return 0;
    }
    double number = 0;
    const auto [end, error] = std::from_chars(first, last, number);
    if (error != std::errc() || !std::isfinite(number))
        return 0;
    return number;
}

} // namespace

CFloatNumberEdit::CFloatNumberEdit(QWidget *parent)
    : QLineEdit(parent)
    , m_numbers(new QRegularExpressionValidator(NumberPattern(false), this))
{
    setObjectName(QStringLiteral("CFloatNumberEdit"));
    setValidator(m_numbers);
    updateMinimumWidth();
}

void CFloatNumberEdit::setAllowsNegative(bool allowed)
{
    m_allowsNegative = allowed;
    m_numbers->setRegularExpression(NumberPattern(allowed));
}

void CFloatNumberEdit::setDigits(int digits)
{
    const qint64 whole = readWholeUnits();
    m_digits = digits;
    m_scale = PowerOfTen(digits);
    setUnitsText(QString::number(whole));
}

void CFloatNumberEdit::setUnitsText(const QString &units)
{
    const double shown = LeadingNumber(units) / static_cast<double>(m_scale);
    setText(decimalText(std::isfinite(shown) ? shown : 0.0));
}

qint64 CFloatNumberEdit::readWholeUnits()
{
    const double number = value();
    // Spin positions are 32-bit.
    const double whole = std::clamp(std::round(number * static_cast<double>(m_scale)),
                                    double{std::numeric_limits<std::int32_t>::min()},
                                    double{std::numeric_limits<std::int32_t>::max()});
    const QString shown = decimalText(number);
    // Leaves the cursor alone when nothing changes, e.g. while arrow keys step.
    if (shown != text())
        setText(shown);
    return static_cast<qint64>(whole);
}

double CFloatNumberEdit::value() const
{
    return LeadingNumber(text());
}

void CFloatNumberEdit::changeEvent(QEvent *event)
{
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        updateMinimumWidth();
}

QString CFloatNumberEdit::decimalText(double number) const
{
    // Rounded from the exact binary value as printf's "%.*f" does, but always with '.', whatever
    // the desktop's locale: the field reads its own text back.
    char text[400]; // 309 integer digits, a sign, a point and 15 decimals at most
    const auto [end, error]
        = std::to_chars(text, text + sizeof text, number, std::chars_format::fixed,
                        std::clamp(m_digits, 0, kMaxPriceDigits));
    if (error != std::errc())
        return {};
    return QString::fromLatin1(text, static_cast<qsizetype>(end - text));
}

void CFloatNumberEdit::updateMinimumWidth()
{
    QStyleOptionFrame option;
    initStyleOption(&option);
    const QMargins margins = textMargins() + contentsMargins();
    // QLineEdit keeps a 2-pixel gap on each side of its text.
    const QSize text(fontMetrics().horizontalAdvance(kWidestText) + 4 + margins.left()
                         + margins.right(),
                     fontMetrics().height());
    setMinimumWidth(style()->sizeFromContents(QStyle::CT_LineEdit, &option, text, this).width());
}

} // namespace qs::ui
