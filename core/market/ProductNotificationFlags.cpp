#include "core/market/ProductNotificationFlags.h"

#include "core/protocol/RequestExchange.h"

#include <algorithm>

namespace qs {

void ProductNotificationFlags::setAll(std::uint8_t value)
{
    for (auto &flag : m_flags)
        flag = value;
}

void ProductNotificationFlags::assign(const Bytes &bytes)
{
    for (std::size_t i = 0; i < m_flags.size(); ++i)
        m_flags[i] = bytes[i];
}

ProductNotificationFlags::Bytes ProductNotificationFlags::bytes() const
{
    Bytes out{};
    for (std::size_t i = 0; i < m_flags.size(); ++i)
        out[i] = m_flags[i];
    return out;
}

std::uint8_t ProductNotificationFlags::flag(int productId) const
{
    if (productId < 1 || productId > kProductFlagCount)
        return 0;
    return m_flags[static_cast<std::size_t>(productId - 1)];
}

void ProductNotificationFlags::setFlag(int productId, std::uint8_t value)
{
    if (productId >= 1 && productId <= kProductFlagCount)
        m_flags[static_cast<std::size_t>(productId - 1)] = value;
}

void ProductNotificationFlags::readFromServer(const ServerLink &link)
{
    setAll(1);
    RequestExchange exchange(link);
    const ExchangeStep sent = exchange.send(cmd::kReadProductFlags);
    if (sent == ExchangeStep::Connect)
        return;
    if (sent != ExchangeStep::Done) {
        exchange.close();
        return;
    }
    Bytes reply{};
    if (exchange.receive(reply) == ExchangeStep::Done)
        assign(reply);
    else
        setAll(1);
}

bool ProductNotificationFlags::saveToServer(const ServerLink &link,
                                            const std::array<std::uint8_t, kFollowable> &followed)
{
    Bytes body{};
    std::copy(followed.begin(), followed.end(), body.begin());
    std::fill(body.begin() + kFollowable, body.end(), std::uint8_t{1});

    RequestExchange exchange(link);
    std::int8_t saved = 0;
    const ExchangeStep step = exchange.request(cmd::kSaveProductFlags, body, saved);
    exchange.finish();
    if (step != ExchangeStep::Done || saved <= 0)
        return false;
    assign(body);
    return true;
}

} // namespace qs
