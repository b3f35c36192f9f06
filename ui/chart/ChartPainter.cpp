#include "ui/chart/ChartPainter.h"

#include "core/BuildConfig.h"
#include "core/chart/ChartTexts.h"
#include "core/market/SignalList.h"
#include "core/protocol/OrderNumbers.h"
#include "core/trading/TradingData.h"
#include "ui/widgets/ChartFonts.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QPen>
#include <QPolygon>

#include <array>
#include <string>

namespace qs::ui {

namespace {

constexpr std::uint32_t kBackground = 0xFF000000;
constexpr std::uint32_t kWatermark = 0xFF2D2D2D;
constexpr std::uint32_t kTitle = 0xFFC6C6C6;
constexpr std::uint32_t kGrid = 0xFF640000;
constexpr std::uint32_t kRising = 0xFFFF0000;
constexpr std::uint32_t kFalling = 0xFFFFFFFF;
constexpr std::uint32_t kExtreme = 0xFFFFFFFF;
constexpr std::uint32_t kLive = 0xFF32C832;
constexpr std::uint32_t kSupport = 0xFFC80000;
constexpr std::uint32_t kResistance = 0xFF00C800;
constexpr std::uint32_t kTwoLeg = 0xFF009CDC;
constexpr std::uint32_t kPublished = 0xFF969696;
constexpr std::uint32_t kTradeLine = 0xFF828282;
constexpr std::uint32_t kLabelBox = 0xFFDEDEDE;
constexpr std::uint32_t kLabelText = 0xFF505050;
constexpr std::uint32_t kTakeProfit = 0xFF00C800;
constexpr std::uint32_t kStopLoss = 0xFFC80000;
constexpr std::uint32_t kStopText = 0xFFAAAAAA;
constexpr QRgb kCross = 0xFFC8C8C8;

constexpr int kSupportKind = 11;
constexpr int kResistanceKind = 21;
constexpr int kLabelLeft = 8;
constexpr int kExtremeRoom = 44;

QString Qs(const std::string &utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// Text whose top-left corner is at the point.
void DrawTextAt(QPainter &painter, const QFont &font, QPointF topLeft, const QString &text)
{
    painter.setFont(font);
    painter.drawText(QPointF(topLeft.x(), topLeft.y() + QFontMetricsF(font).ascent()), text);
}

QSizeF Measure(const QFont &font, const QString &text)
{
    const QFontMetricsF metrics(font);
    return {metrics.horizontalAdvance(text), metrics.height()};
}

// A line with an arrow head anchored at its start.
void DrawArrowLine(QPainter &painter, QPoint from, QPoint to, const QColor &colour)
{
    painter.setPen(QPen(colour, 1));
    painter.drawLine(from, to);
    const int direction = to.x() >= from.x() ? 1 : -1;
    const QPoint head[] = {from, QPoint(from.x() + 4 * direction, from.y() - 2),
                           QPoint(from.x() + 4 * direction, from.y() + 2)};
    painter.setBrush(colour);
    painter.drawPolygon(head, 3);
    painter.setBrush(Qt::NoBrush);
}

QPen DashPen(std::uint32_t argb, const QList<qreal> &pattern)
{
    QPen pen(Argb(argb), 1);
    // Flat ends keep the dashes and gaps at their pattern lengths.
    pen.setCapStyle(Qt::FlatCap);
    pen.setDashPattern(pattern);
    return pen;
}

const QList<qreal> kSignalDashes{5, 2, 15, 4};
const QList<qreal> kTradeDashes{5, 5};

void DrawCandle(QPainter &painter, const BarGeometry &bar)
{
    const int yClose = TruncToInt(bar.yClose);
    const int cx = bar.centreX();
    const int width = bar.xRight - bar.xLeft;
    if (bar.direction == -1) {
        const QColor colour = Argb(kFalling);
        painter.setPen(QPen(colour, 1));
        painter.drawLine(cx, bar.yHigh, cx, bar.yOpen);
        painter.drawLine(cx, yClose, cx, bar.yLow);
        if (bar.yOpen == yClose)
            painter.drawLine(bar.xLeft, bar.yOpen, bar.xRight, yClose);
        else
            painter.fillRect(QRect(bar.xLeft, bar.yOpen, width, yClose - bar.yOpen), colour);
    } else {
        painter.setPen(QPen(Argb(kRising), 1));
        painter.drawLine(cx, bar.yHigh, cx, yClose);
        painter.drawLine(cx, bar.yOpen, cx, bar.yLow);
        if (bar.yOpen == yClose)
            painter.drawLine(bar.xLeft, yClose, bar.xRight, bar.yOpen);
        else
            painter.drawRect(QRect(bar.xLeft, yClose, width, bar.yOpen - yClose));
    }
}

} // namespace

ChartPainter::ChartPainter(ChartViewport &viewport, SignalList &signals, TradingData &trading)
    : m_viewport(viewport)
    , m_signals(signals)
    , m_trading(trading)
    , m_titleFont(ArialFont(9))
    , m_extremeFont(SongFont(9))
    , m_liveFont(SongFont(10))
    , m_signalFont(ArialFont(10))
    , m_timeFont(ArialFont(8))
    , m_labelFont(SongFont(9))
{}

QString ChartPainter::watermarkText()
{
    return QGuiApplication::applicationDisplayName() + QLatin1Char(' ')
           + QString::fromUtf8(build::kWebDomain);
}

PaintedAxis ChartPainter::paint(QPainter &painter, QSize client)
{
    m_viewport.copyFrame(m_frame);
    painter.setRenderHint(QPainter::Antialiasing, false);
    paintBackdrop(painter, client);

    const QString title = Qs(m_frame.product.nameText() + kChartPeriodSuffix);
    painter.setPen(Argb(kTitle));
    DrawTextAt(painter, m_titleFont, QPointF(5, 4), title);

    const int step = GridStep(client.height());
    paintGrid(painter, client, step);
    paintCandles(painter, client.width());
    paintSignals(painter, client);
    const std::vector<LabelRect> positions = paintPositions(painter, client.width());
    const std::vector<LabelRect> orders = paintOrders(painter, client.width());
    m_trading.storeLabelRects(positions, orders);

    return {step, m_frame.state.highest, m_frame.state.scale, m_frame.state.verticalOffset,
            m_frame.product.productId};
}

void ChartPainter::paintBackdrop(QPainter &painter, QSize client)
{
    if (m_backdrop.size() != client) {
        m_backdrop = QImage(client, QImage::Format_RGB32);
        m_backdrop.fill(Argb(kBackground));
        QPainter backdrop(&m_backdrop);
        const QFont font = ArialFont(12);
        const QString text = watermarkText();
        const QSizeF size = Measure(font, text);
        const int cw = static_cast<int>(size.width() + 50);
        const int ch = static_cast<int>(size.height() + 50);
        backdrop.setPen(Argb(kWatermark));
        for (int c = 0; c <= (client.width() - 20) / cw; ++c) {
            for (int r = 0; r <= (client.height() - 20) / ch; ++r)
                DrawTextAt(backdrop, font, QPointF(20 + c * cw, 20 + r * ch), text);
        }
    }
    painter.drawImage(0, 0, m_backdrop);
}

void ChartPainter::paintGrid(QPainter &painter, QSize client, int step) const
{
    QPen pen(Argb(kGrid), 1, Qt::DotLine);
    painter.setPen(pen);
    for (int y = kGridTop; y < client.height(); y += step)
        painter.drawLine(0, y, client.width(), y);
}

void ChartPainter::paintCandles(QPainter &painter, int clientWidth) const
{
    const ViewportState &state = m_frame.state;
    bool highestDone = false;
    bool lowestDone = false;
    // Oldest first, so the older of two equal extremes takes the label.
    for (auto entry = m_frame.geometry.rbegin(); entry != m_frame.geometry.rend(); ++entry) {
        DrawCandle(painter, *entry);
        const KLineBar &bar = entry->bar;
        const int cx = entry->centreX();
        const bool roomRight = clientWidth - entry->xRight > kExtremeRoom;
        const auto extreme = [&](std::int32_t price, int y) {
            const QString text = Qs(UnitPriceText(price, bar.digits));
            const QColor colour = Argb(kExtreme);
            if (roomRight) {
                DrawArrowLine(painter, {cx, y}, {cx + 10, y}, colour);
                painter.setPen(colour);
                DrawTextAt(painter, m_extremeFont, QPointF(cx + 10, y - 5), text);
            } else {
                DrawArrowLine(painter, {cx, y}, {cx - 10, y}, colour);
                painter.setPen(colour);
                DrawTextAt(painter, m_extremeFont, QPointF(cx - 50, y - 5), text);
            }
        };
        if (!highestDone && bar.high == state.highest) {
            highestDone = true;
            extreme(bar.high, entry->yHigh);
        }
        if (!lowestDone && bar.low == state.lowest) {
            lowestDone = true;
            extreme(bar.low, entry->yLow);
        }
        if (bar.isLive()) {
            const QColor colour = Argb(kLive);
            const int y = TruncToInt(entry->yClose);
            DrawArrowLine(painter, {entry->xRight, y}, {entry->xRight + 8, y}, colour);
            painter.setPen(colour);
            DrawTextAt(painter, m_liveFont, QPointF(entry->xRight + 7, entry->yClose - 7),
                       Qs(UnitPriceText(bar.close, bar.digits)));
        }
    }
}

void ChartPainter::paintSignals(QPainter &painter, QSize client) const
{
    const TypeInfo &product = m_frame.product;
    const int digits = product.digits;
    const bool single = product.singleInstrument == 1;
    const std::string leg1 = single ? std::string() : product.leg1NameText();
    const std::string leg2 = single ? std::string() : product.leg2NameText();
    const std::vector<SignalRecord> signals = m_signals.snapshot();
    for (const SignalRecord &signal : signals) {
        if (signal.productId != product.productId || signal.chartY == 0
            || signal.chartY > client.height())
            continue;
        std::uint32_t colour;
        QString label;
        bool below = true; // label under the line, time above
        if (single) {
            if (signal.kind != kSupportKind && signal.kind != kResistanceKind)
                continue;
            const bool support = signal.kind == kSupportKind;
            colour = support ? kSupport : kResistance;
            label = Qs(SignalText(signal, support, digits));
            below = support;
        } else {
            colour = kTwoLeg;
            label = Qs(TwoLegSignalText(signal, digits, leg1, leg2));
        }
        const int y = signal.chartY;
        painter.setPen(DashPen(colour, kSignalDashes));
        painter.drawLine(0, y, client.width(), y);

        const QString time = Qs(PublicationText(signal.published));
        const QSizeF labelSize = Measure(m_signalFont, label);
        const QSizeF timeSize = Measure(m_timeFont, time);
        const qreal labelX = client.width() - labelSize.width() - 8;
        const qreal timeX = client.width() - timeSize.width() - 8;
        const qreal labelTop = below ? y + 1 : y - labelSize.height();
        const qreal timeTop = below ? y - 1 - timeSize.height() : y + 1;
        painter.setPen(Argb(colour));
        DrawTextAt(painter, m_signalFont, QPointF(labelX, labelTop), label);
        painter.setPen(Argb(kPublished));
        DrawTextAt(painter, m_timeFont, QPointF(timeX, timeTop), time);
    }
}

namespace {

// The dashed line, the boxed label (its rectangle stored in rect) and the stop lines of a
// position or an order.
void PaintTrade(QPainter &painter, const QFont &font, int clientWidth, int y, const QString &label,
                std::array<std::int32_t, 4> &rect, int takeProfitY, const QString &takeProfit,
                int stopLossY, const QString &stopLoss)
{
    painter.setPen(DashPen(kTradeLine, kTradeDashes));
    painter.drawLine(0, y, clientWidth, y);

    const QSizeF size = Measure(font, label);
    const int left = kLabelLeft;
    const int top = y + 1;
    rect[0] = left;
    rect[1] = top;
    rect[2] = left + TruncToInt(size.width());
    rect[3] = top + TruncToInt(size.height());
    painter.fillRect(QRect(QPoint(rect[0], rect[1]), QPoint(rect[2] - 1, rect[3] - 1)),
                     Argb(kLabelBox));
    painter.setPen(Argb(kLabelText));
    DrawTextAt(painter, font, QPointF(left, top), label);

    if (takeProfitY > 0) {
        painter.setPen(DashPen(kTakeProfit, kTradeDashes));
        painter.drawLine(0, takeProfitY, clientWidth, takeProfitY);
        painter.setPen(Argb(kStopText));
        DrawTextAt(painter, font, QPointF(kLabelLeft, takeProfitY + 1), takeProfit);
    }
    if (stopLossY > 0) {
        painter.setPen(DashPen(kStopLoss, kTradeDashes));
        painter.drawLine(0, stopLossY, clientWidth, stopLossY);
        painter.setPen(Argb(kStopText));
        DrawTextAt(painter, font, QPointF(kLabelLeft, stopLossY + 1), stopLoss);
    }
}

} // namespace

std::vector<LabelRect> ChartPainter::paintPositions(QPainter &painter, int clientWidth) const
{
    const int productId = m_frame.product.productId;
    const int digits = m_frame.product.digits;
    std::vector<LabelRect> rects;
    for (const HoldInfo &position : m_trading.positions()) {
        if (position.productId != productId)
            continue;
        LabelRect &drawn = rects.emplace_back();
        drawn.number = NumberOf(position.positionNumber);
        PaintTrade(
            painter, m_labelFont, clientWidth, position.openY,
            Qs(PositionLabelText(position.isBuy(), position.openPrice, digits, position.lotsHeld)),
            drawn.rect, position.takeProfitY,
            Qs(TakeProfitText(position.openPrice, position.takeProfit, digits)), position.stopLossY,
            Qs(StopLossText(position.openPrice, position.stopLoss, digits)));
    }
    return rects;
}

std::vector<LabelRect> ChartPainter::paintOrders(QPainter &painter, int clientWidth) const
{
    const int productId = m_frame.product.productId;
    const int digits = m_frame.product.digits;
    std::vector<LabelRect> rects;
    for (const DelegateInfo &order : m_trading.pendingOrders()) {
        if (order.productId != productId || order.status != 1)
            continue;
        LabelRect &drawn = rects.emplace_back();
        drawn.number = NumberOf(order.orderNumber);
        PaintTrade(painter, m_labelFont, clientWidth, order.orderY,
                   Qs(OrderLabelText(order.isBuy(), order.orderPrice, digits, order.lots)),
                   drawn.rect, order.takeProfitY,
                   Qs(TakeProfitText(order.orderPrice, order.takeProfit, digits)), order.stopLossY,
                   Qs(StopLossText(order.orderPrice, order.stopLoss, digits)));
    }
    return rects;
}

void DrawCross(QPainter &painter, CrossPoint cross, QSize client)
{
    if (!cross.shown())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.setPen(QPen(QColor::fromRgb(kCross), 1));
    const int right = client.width();
    painter.drawLine(cross.x, 0, cross.x, client.height());
    if (cross.x == 0) {
        painter.drawLine(0, cross.y, right, cross.y);
    } else {
        painter.drawLine(0, cross.y, cross.x - 1, cross.y);
        painter.drawLine(cross.x + 1, cross.y, right, cross.y);
    }
    painter.restore();
}

} // namespace qs::ui
