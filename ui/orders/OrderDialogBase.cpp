#include "ui/orders/OrderDialogBase.h"

#include "core/platform/DesktopSeam.h"
#include "core/platform/PriceFormat.h"
#include "core/platform/SoundIds.h"
#include "core/protocol/Commands.h"
#include "core/protocol/OrderRecords.h"
#include "core/protocol/RequestExchange.h"
#include "core/trading/TradingData.h"
#include "ui/AfterTrade.h"
#include "ui/TradingNotices.h"
#include "ui/widgets/CPriceStatic.h"
#include "ui/widgets/WaitCursor.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>

#include <array>

namespace qs::ui {

OrderDialogBase::OrderDialogBase(const FrameContext &context, OrderDialog kind,
                                 std::int32_t productId, QWidget *parent)
    : QDialog(parent)
    , m_context(context)
    , m_kind(kind)
    , m_product(ZeroRecord<TypeInfo>())
{
    m_product.productId = productId;
    takeProduct(productId);
    m_context.notices.add(this, this);
}

bool OrderDialogBase::takeProduct(std::int32_t productId)
{
    TypeInfo record = ZeroRecord<TypeInfo>();
    if (!m_context.trading.copyProduct(productId, record))
        return false;
    m_product = record;
    return true;
}

QString OrderDialogBase::priceText(double value) const
{
    return QString::fromStdString(FormatPrice(value, m_product.digits));
}

CPriceStatic *OrderDialogBase::makePriceLabel(int controlId, QRgb colour,
                                              const QString &accessibleName)
{
    auto *label = new CPriceStatic(this);
    label->setObjectName(QStringLiteral("label%1").arg(controlId));
    label->setAccessibleName(accessibleName);
    label->setColour(colour);
    label->setMinimumSize(120, 24);
    return label;
}

QPushButton *OrderDialogBase::makeButton(int controlId, const QString &text)
{
    auto *button = new QPushButton(text, this);
    button->setObjectName(QStringLiteral("button%1").arg(controlId));
    // A default button would take every Enter pressed in a field.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

QLineEdit *OrderDialogBase::makeReadOnly(int controlId, const QString &accessibleName,
                                         const QString &text)
{
    auto *field = new QLineEdit(text, this);
    field->setObjectName(QStringLiteral("edit%1").arg(controlId));
    field->setAccessibleName(accessibleName);
    field->setReadOnly(true);
    // Drawn as the platform draws a field that cannot be typed in: on the window's own colour.
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    field->setPalette(palette);
    return field;
}

QLabel *OrderDialogBase::makeHint(int controlId, const QString &text)
{
    auto *label = new QLabel(text, this);
    label->setObjectName(QStringLiteral("label%1").arg(controlId));
    return label;
}

void OrderDialogBase::addSubmitButton(QAbstractButton *button)
{
    m_submitButtons.push_back(button);
}

void OrderDialogBase::showText(const std::string &text)
{
    m_context.link.seam().messageBox(text, MessageIcon::None, MessageButtons::Ok);
}

void OrderDialogBase::setSubmitEnabled(bool enabled)
{
    for (QAbstractButton *button : m_submitButtons)
        button->setEnabled(enabled);
}

OrderDialogBase::Outcome OrderDialogBase::exchangeBytes(std::int32_t command, const void *body,
                                                        std::size_t size, void *reply,
                                                        std::size_t replySize,
                                                        const WhileOpen &whileOpen)
{
    Outcome outcome;
    bool sendFailed = false;
    setSubmitEnabled(false);
    {
        WaitCursor wait;
        RequestExchange exchange(m_context.link);
        if (exchange.isOpen()) {
            if (SendRequest(exchange.connection(), m_context.link.session(), command, body, size)
                != ExchangeStep::Done) {
                exchange.close();
                sendFailed = true;
            } else {
                outcome.sent = true;
                outcome.complete
                    = exchange.receive(reply, replySize, ReplyRead::Exact) == ExchangeStep::Done;
                if (whileOpen)
                    whileOpen(exchange.connection(), outcome.complete);
                exchange.finish();
            }
        }
    }
    setSubmitEnabled(true);
    if (sendFailed)
        showText(SendFailureText(m_kind));
    return outcome;
}

OrderDialogBase::Outcome
OrderDialogBase::exchangeForCode(std::int32_t command, const void *body, std::size_t size,
                                 std::int32_t &code,
                                 const std::function<void(Connection &)> &onSuccess)
{
    std::array<std::uint8_t, sizeof(std::int32_t)> bytes{};
    const Outcome outcome
        = exchangeBytes(command, body, size, bytes.data(), bytes.size(),
                        [&](Connection &connection, bool complete) {
                            const std::int32_t got = AssembleResultCode(bytes.data(), bytes.size());
                            if (complete && got == order_result::kDone && onSuccess)
                                onSuccess(connection);
                        });
    code = AssembleResultCode(bytes.data(), bytes.size());
    return outcome;
}

void OrderDialogBase::submitOpen(const OrderForm &form, Refetch afterIncomplete, int successResult)
{
    if (form.refusal) {
        showText(*form.refusal);
        return;
    }
    std::int32_t code = 0;
    const Outcome outcome = exchangeForCode(cmd::kOpenOrder, &form.body, sizeof form.body, code);
    if (!outcome.sent)
        return;
    if (code == order_result::kDone) {
        done(successResult);
        return;
    }
    showText(ResultText(m_kind, code, m_product));
    if (!outcome.complete)
        refetchAfterIncomplete(afterIncomplete);
}

void OrderDialogBase::submitChange(std::int32_t command, const void *body, std::size_t size,
                                   Refetch what, int successResult)
{
    std::int32_t code = 0;
    TradeChange change;
    const Outcome outcome
        = exchangeForCode(command, body, size, code, [this, what, &change](Connection &connection) {
              // A failed re-fetch leaves the lists as they were; the change itself succeeded.
              change = RefetchAfterTrade(connection, m_context.link, m_context.trading, what);
          });
    if (!outcome.sent)
        return;
    if (code == order_result::kDone) {
        if (!outcome.complete)
            change = RefetchAfterTrade(m_context.link, m_context.trading, what);
        AnnounceTrade(m_context, change, AfterTradeOrder::RelayoutNoticeSound);
        done(successResult);
        return;
    }
    showText(ResultText(m_kind, code, m_product));
    if (!outcome.complete)
        refetchAfterIncomplete(what);
}

void OrderDialogBase::addPositionFields(QGridLayout &grid, const PositionTexts &texts,
                                        const QString &lotsCaption, const std::string &lotsText)
{
    const auto add
        = [&](int row, int column, int id, const QString &name, const std::string &text) {
              QLineEdit *field = makeReadOnly(id, name, QString::fromStdString(text));
              auto *caption = new QLabel(name, this);
              caption->setBuddy(field);
              grid.addWidget(caption, row, column);
              grid.addWidget(field, row, column + 1);
          };
    add(0, 0, 1035, QStringLiteral("商品"), texts.productName);
    add(0, 2, 1036, QStringLiteral("买卖"), texts.side);
    add(1, 0, 1028, QStringLiteral("止损价"), texts.stopLoss);
    add(1, 2, 1030, QStringLiteral("止盈价"), texts.takeProfit);
    add(2, 0, 1031, lotsCaption, lotsText);
}

void OrderDialogBase::refetchAfterIncomplete(Refetch what)
{
    AnnounceTrade(m_context, RefetchAfterTrade(m_context.link, m_context.trading, what),
                  AfterTradeOrder::Relayout);
}

void OrderDialogBase::ticked(const KLineBar &tick)
{
    if (tick.productId != m_product.productId)
        return;
    if (m_refreshCopyOnTick)
        takeProduct(m_product.productId);
    tickArrived(tick);
    productTicked();
}

void OrderDialogBase::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        QWidget *focus = focusWidget();
        for (QAbstractButton *button : m_submitButtons) {
            if (button == focus && button->isEnabled()) {
                button->click();
                break;
            }
        }
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace qs::ui
