#include "ui/widgets/CPriceStatic.h"

#include "ui/widgets/ChartFonts.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFontMetricsF>
#include <QPainter>

namespace qs::ui {

namespace {

// Painted text has no text of its own for accessibility: this hands out the shown text.
class PriceStaticAccessible final : public QAccessibleWidget {
public:
    explicit PriceStaticAccessible(CPriceStatic *label)
        : QAccessibleWidget(label, QAccessible::StaticText)
    {}

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Value)
            return static_cast<const CPriceStatic *>(widget())->text();
        return QAccessibleWidget::text(kind);
    }
};

QAccessibleInterface *PriceStaticFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String(CPriceStatic::staticMetaObject.className()) && object != nullptr
        && object->isWidgetType())
        return new PriceStaticAccessible(static_cast<CPriceStatic *>(object));
    return nullptr;
}

} // namespace

CPriceStatic::CPriceStatic(QWidget *parent)
    : QWidget(parent)
{
    static const bool installed = [] {
        QAccessible::installFactory(PriceStaticFactory);
        return true;
    }();
    Q_UNUSED(installed);
    setObjectName(QStringLiteral("CPriceStatic"));
}

void CPriceStatic::setText(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    if (QAccessible::isActive()) {
        QAccessibleValueChangeEvent changed(this, m_text);
        QAccessible::updateAccessibility(&changed);
    }
}

void CPriceStatic::paintEvent(QPaintEvent *)
{
    const QFont font = ArialFont(14, true);
    const QFontMetricsF metrics(font);
    const qreal top = (height() - metrics.height()) * 0.5;
    QPainter painter(this);
    painter.setFont(font);
    painter.setPen(QColor::fromRgba(m_colour));
    painter.drawText(QPointF(0, top + metrics.ascent()), m_text);
}

} // namespace qs::ui
