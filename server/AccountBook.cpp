#include "server/AccountBook.h"

#include "server/Members.h"
#include "server/ProductCatalog.h"

#include <cmath>
#include <vector>

namespace qs::server {

AccountBook::AccountBook(QuoteSource quotes, Account::Clock clock)
    : m_quotes(std::move(quotes))
    , m_clock(std::move(clock))
{
    m_tickQuotes = currentQuotes();
}

Account &AccountBook::of(const std::string &member)
{
    std::lock_guard lock(m_mutex);
    std::unique_ptr<Account> &account = m_accounts[member];
    if (!account) {
        const MemberEntry *entry = FindMember(member);
        account = std::make_unique<Account>(member, entry == nullptr ? 0.0 : entry->deposit,
                                            m_numbers, m_clock);
    }
    return *account;
}

QuoteBoard AccountBook::currentQuotes() const
{
    QuoteBoard board{};
    if (!m_quotes)
        return board;
    for (int id = 1; id <= kProductCount; ++id)
        board[static_cast<std::size_t>(id)] = m_quotes(id);
    return board;
}

Quote AccountBook::QuoteOfTick(const KLineBar &liveBar)
{
    const TypeInfo product = ProductRecord(liveBar.productId);
    Quote quote;
    quote.last = liveBar.close / std::pow(10.0, ProductDigits(liveBar.productId));
    quote.buy = quote.last + product.askSpread;
    quote.sell = quote.last - product.bidSpread;
    return quote;
}

void AccountBook::onTick(const KLineBar &liveBar)
{
    const int productId = liveBar.productId;
    if (productId < 1 || productId > kProductCount)
        return;
    QuoteBoard board;
    std::vector<Account *> accounts;
    {
        std::lock_guard lock(m_mutex);
        m_tickQuotes[static_cast<std::size_t>(productId)] = QuoteOfTick(liveBar);
        board = m_tickQuotes;
        accounts.reserve(m_accounts.size());
        for (const auto &entry : m_accounts)
            accounts.push_back(entry.second.get());
    }
    // Accounts live as long as the book, so the pointers stay good without the lock.
    for (Account *account : accounts)
        account->onTick(productId, board);
}

} // namespace qs::server
