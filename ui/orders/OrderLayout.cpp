#include "ui/orders/OrderLayout.h"

#include "ui/widgets/CFloatNumberEdit.h"
#include "ui/widgets/MySpinButtonCtrl.h"

#include <QHBoxLayout>

namespace qs::ui {

void NameControl(QWidget *control, const char *kind, int controlId, const QString &accessibleName)
{
    control->setObjectName(QStringLiteral("%1%2").arg(QLatin1String(kind)).arg(controlId));
    if (!accessibleName.isEmpty())
        control->setAccessibleName(accessibleName);
}

QLayout *ControlRow(std::initializer_list<QWidget *> widgets)
{
    auto *row = new QHBoxLayout;
    row->setSpacing(4);
    for (QWidget *widget : widgets)
        row->addWidget(widget);
    row->addStretch();
    return row;
}

QLayout *FieldWithSpin(CFloatNumberEdit *field, MySpinButtonCtrl *spin)
{
    auto *row = new QHBoxLayout;
    row->setSpacing(0);
    row->addWidget(field, 1);
    row->addWidget(spin);
    spin->setBuddy(field);
    return row;
}

} // namespace qs::ui
