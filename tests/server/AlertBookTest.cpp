#include "server/AlertBook.h"

#include "core/protocol/WireRecord.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <memory>

namespace qs::server {
namespace {

// 2024-01-31 20:00 in the service's zone.
constexpr std::int64_t kEndOfJanuary = 1706702400;

AlertInfo Alert(int productId, std::int32_t condition, double level)
{
    AlertInfo alert = ZeroRecord<AlertInfo>();
    alert.productId = productId;
    alert.condition = condition;
    alert.level = level;
    return alert;
}

TEST(AlertBookTest, OrdinaryMembersHaveAMonthlyQuotaThatDeletingDoesNotRestore)
{
    auto now = std::make_shared<std::atomic<std::int64_t>>(kEndOfJanuary);
    AlertBook book([now] { return now->load(); });
    std::vector<std::int32_t> ids;
    for (int i = 0; i < AlertBook::kFreeAlertsPerMonth; ++i) {
        const AlertInfo stored = book.add("free", 1, Alert(1, 1, 1800.0 + i));
        EXPECT_GT(stored.alertId, 0);
        ids.push_back(stored.alertId);
    }
    EXPECT_EQ(book.add("free", 1, Alert(1, 2, 1700.0)).alertId, AlertBook::kQuotaUsedUp);
    EXPECT_TRUE(book.remove("free", ids[0]));
    EXPECT_EQ(book.add("free", 1, Alert(1, 2, 1700.0)).alertId, AlertBook::kQuotaUsedUp);
    EXPECT_EQ(book.list("free").size(), 2u);

    // Four hours later it is February in UTC+8.
    *now += 4 * 3600;
    EXPECT_GT(book.add("free", 1, Alert(1, 2, 1700.0)).alertId, 0);

    // Higher levels have no quota, only the bound every member has.
    for (std::size_t i = 0; i < AlertBook::kMaxAlertsPerMember; ++i)
        ASSERT_GT(book.add("demo", 8, Alert(1, 1, 1800)).alertId, 0);
    EXPECT_EQ(book.add("demo", 8, Alert(1, 1, 1800)).alertId, 0);
}

TEST(AlertBookTest, StoredRecordsCarryServerIdsAndOnlyTheRequestedFields)
{
    AlertBook book;
    AlertInfo request = Alert(13, 2, 95.25);
    request.requestMark = 7;
    request.carried4[0] = 0xAB;
    const AlertInfo first = book.add("demo", 8, request);
    const AlertInfo second = book.add("demo", 8, Alert(1, 1, 1800.0));
    EXPECT_GT(second.alertId, first.alertId);
    EXPECT_EQ(first.productId, 13);
    EXPECT_EQ(first.condition, 2);
    EXPECT_DOUBLE_EQ(first.level, 95.25);
    EXPECT_EQ(first.carried4[0], 0);
    EXPECT_EQ(first.requestMark, 0);
    ASSERT_EQ(book.list("demo").size(), 2u);
    EXPECT_EQ(book.list("demo")[0].alertId, first.alertId);
    EXPECT_TRUE(book.list("free").empty());
}

TEST(AlertBookTest, InvalidRequestsAreRefusedWithoutUsingTheQuota)
{
    AlertBook book;
    EXPECT_EQ(book.add("free", 1, Alert(0, 1, 10)).alertId, 0);
    EXPECT_EQ(book.add("free", 1, Alert(29, 1, 10)).alertId, 0);
    EXPECT_EQ(book.add("free", 1, Alert(1, 3, 10)).alertId, 0);
    EXPECT_EQ(book.add("free", 1, Alert(1, 1, 0)).alertId, 0);
    EXPECT_EQ(book.add("free", 1, Alert(1, 1, std::nan(""))).alertId, 0);
    for (int i = 0; i < AlertBook::kFreeAlertsPerMonth; ++i)
        EXPECT_GT(book.add("free", 1, Alert(1, 1, 10)).alertId, 0);
}

TEST(AlertBookTest, MembersCannotDeleteEachOthersAlerts)
{
    AlertBook book;
    const AlertInfo stored = book.add("demo", 8, Alert(1, 1, 1800));
    EXPECT_FALSE(book.remove("free", stored.alertId));
    EXPECT_TRUE(book.remove("demo", stored.alertId));
    EXPECT_FALSE(book.remove("demo", stored.alertId));
}

} // namespace
} // namespace qs::server
