#include "ui/chart/CLeftTips.h"

#include "core/trading/TradingData.h"
#include "ui/widgets/ChartFonts.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>

namespace qs::ui {

namespace {

constexpr std::uint32_t kBackground = 0xFF000000;
constexpr std::uint32_t kBorder = 0xFFFF0000;
constexpr std::uint32_t kAxisText = 0xFF008FDE;
constexpr int kDetailsRows = 226;

QString Qs(const std::string &utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

} // namespace

CLeftTips::CLeftTips(const TradingData &trading, QWidget *parent)
    : QWidget(parent)
    , m_trading(trading)
{
    setObjectName(QStringLiteral("CLeftTips"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
}

void CLeftTips::updateAxis(int gridStep, std::int32_t highest, float scale, int yOrigin,
                           int productId)
{
    if (gridStep != -1)
        m_axis.gridStep = gridStep;
    m_axis.highest = highest;
    m_axis.scale = scale;
    m_axis.yOrigin = yOrigin;
    m_product = m_trading.product(productId);
    update();
}

void CLeftTips::updateDetails(const KLineBar &bar, float cursorY)
{
    m_bar = bar;
    m_cursorY = cursorY;
    if (m_detailsOn)
        update(0, 0, width(), kDetailsRows);
}

void CLeftTips::setDetailsOn(bool on)
{
    if (m_detailsOn == on)
        return;
    m_detailsOn = on;
    update();
}

void CLeftTips::paintEvent(QPaintEvent *)
{
    QImage image(size(), QImage::Format_RGB32);
    image.fill(Argb(kBackground));
    {
        QPainter painter(&image);
        painter.setPen(QPen(Argb(kBorder), 1));
        painter.drawLine(width() - 1, 0, width() - 1, height());

        const QFont axisFont = SongFont(9);
        const QFontMetricsF axisMetrics(axisFont);
        painter.setFont(axisFont);
        painter.setPen(Argb(kAxisText));
        for (const AxisLabel &label : AxisLabels(m_axis, m_product.digits, height()))
            painter.drawText(QPointF(kAxisLabelX, label.y - 5 + axisMetrics.ascent()),
                             Qs(label.text));

        if (DetailsBoxShown(m_detailsOn, m_bar)) {
            painter.setPen(QPen(Argb(kBorder), 1));
            painter.setBrush(Argb(kBackground));
            painter.drawRect(QRect(0, 0, width() - 1, kDetailsBoxBottom));
            painter.setBrush(Qt::NoBrush);
            const QFont captionFont = SongFont(12);
            const QFont valueFont = ArialFont(11, true);
            for (const DetailsRow &row : DetailsRows(m_bar, m_cursorY, m_axis, m_product.digits)) {
                const QFont &font = row.style == DetailsStyle::Caption ? captionFont : valueFont;
                const QFontMetricsF metrics(font);
                const QString text = Qs(row.text);
                qreal x = kDetailsTextX;
                if (row.style == DetailsStyle::CursorValue || row.style == DetailsStyle::Price)
                    x = width() - kDetailsValueRightMargin - metrics.horizontalAdvance(text);
                painter.setFont(font);
                painter.setPen(Argb(row.argb));
                painter.drawText(QPointF(x, row.y + metrics.ascent()), text);
            }
        }
    }
    QPainter window(this);
    window.drawImage(0, 0, image);
}

} // namespace qs::ui
