#include "ui/chart/CPriceStatic.h"

#include "ui/chart/ChartFonts.h"

#include <QFontMetricsF>
#include <QPainter>

namespace qs::ui {

CPriceStatic::CPriceStatic(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("CPriceStatic"));
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
