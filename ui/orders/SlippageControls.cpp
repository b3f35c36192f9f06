#include "ui/orders/SlippageControls.h"

#include "ui/orders/OrderLayout.h"
#include "ui/widgets/CFloatNumberEdit.h"
#include "ui/widgets/MySpinButtonCtrl.h"

#include <QCheckBox>
#include <QHBoxLayout>

#include <algorithm>
#include <cmath>
#include <limits>

namespace qs::ui {

namespace {

constexpr int kDigits = 4;
constexpr qint64 kUsualUpper = 1000;

} // namespace

SlippageControls::SlippageControls(QWidget *dialog)
    : QObject(dialog)
    , m_use(new QCheckBox(QStringLiteral("允许成交价和报价的最大点差"), dialog))
    , m_field(new CFloatNumberEdit(dialog))
    , m_spin(new MySpinButtonCtrl(dialog))
{
    const QString name = QStringLiteral("允许成交价和报价的最大点差");
    NameControl(m_use, "check", 1039, {});
    NameControl(m_field, "edit", 1040, name);
    NameControl(m_spin, "spin", 1041, name);
    m_spin->setRange(0, kUsualUpper);
    m_use->setChecked(true);
    m_field->setAllowsNegative(true);
    m_field->setDigits(kDigits);
}

QLayout *SlippageControls::row() const
{
    auto *row = new QHBoxLayout;
    row->addWidget(m_use);
    row->addLayout(FieldWithSpin(m_field, m_spin));
    row->addStretch();
    return row;
}

void SlippageControls::setStartUnits(const QString &units)
{
    m_field->setUnitsText(units);
    const double start = std::round(m_field->value() * std::pow(10.0, kDigits));
    const double tenfold = std::min(10 * start, double{std::numeric_limits<std::int32_t>::max()});
    m_spin->setRange(0, std::max(kUsualUpper, static_cast<qint64>(tenfold)));
}

bool SlippageControls::ticked() const
{
    return m_use->isChecked();
}

double SlippageControls::value() const
{
    return m_field->value();
}

} // namespace qs::ui
