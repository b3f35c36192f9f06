#include "core/protocol/CountedList.h"
#include "core/protocol/AlertInfo.h"
#include "core/protocol/Commands.h"
#include "core/protocol/DealInfo.h"
#include "core/protocol/DelegateInfo.h"
#include "core/protocol/HoldInfo.h"
#include "core/protocol/TypeInfo.h"
#include "tests/support/ScriptedPeer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace qs {
namespace {

using test::Bytes;
using test::Script;
using test::ScriptedPeer;

const std::int32_t kListCommands[] = {cmd::kProducts,      cmd::kAlerts, cmd::kPositions,
                                      cmd::kPendingOrders, cmd::kDeals,  cmd::kPositionSummary};

// What ReadCountedList made of a reply, with the records as bytes so every command compares alike.
struct Outcome {
    bool ok = false;
    bool replaces = false;
    std::vector<Bytes> records;
};

template<class T>
Outcome ReadAs(Connection &connection, std::int32_t command)
{
    const CountedList<T> list = ReadCountedList<T>(connection, command);
    Outcome outcome{list.ok, list.replaces, {}};
    for (const T &record : list.records)
        outcome.records.push_back(test::BytesOf(record));
    return outcome;
}

Outcome Read(Connection &connection, std::int32_t command)
{
    switch (command) {
    case cmd::kProducts:
        return ReadAs<TypeInfo>(connection, command);
    case cmd::kAlerts:
        return ReadAs<AlertInfo>(connection, command);
    case cmd::kPendingOrders:
        return ReadAs<DelegateInfo>(connection, command);
    case cmd::kDeals:
        return ReadAs<DealInfo>(connection, command);
    default:
        return ReadAs<HoldInfo>(connection, command);
    }
}

std::size_t RecordSize(std::int32_t command)
{
    switch (command) {
    case cmd::kProducts:
        return 288;
    case cmd::kAlerts:
        return 40;
    case cmd::kPendingOrders:
        return 256;
    case cmd::kDeals:
        return 224;
    default:
        return 264;
    }
}

Bytes Record(std::int32_t command, int index)
{
    Bytes bytes(RecordSize(command));
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(index * 41 + i * 3 + 1);
    return bytes;
}

// Sends the reply, then closes; reads it back for the command.
Outcome Exchange(std::int32_t command, const Bytes &reply)
{
    ScriptedPeer peer(Script().sendThenClose(reply));
    Connection connection = peer.connect();
    connection.socket().setReceiveTimeout(Milliseconds(2000));
    return Read(connection, command);
}

TEST(CountedList, ZeroCountEmptiesTheTradingListsAndKeepsProductsAndAlerts)
{
    for (const std::int32_t command : kListCommands) {
        // Whatever follows the count belongs to the next exchange and stays unread.
        const Bytes next = {0xDE, 0xAD, 0xBE, 0xEF};
        ScriptedPeer peer(Script().send(test::Join({test::Int32Bytes(0), next})));
        Connection connection = peer.connect();
        connection.socket().setReceiveTimeout(Milliseconds(2000));
        const Outcome outcome = Read(connection, command);
        EXPECT_TRUE(outcome.ok) << command;
        const bool keepsOldList = command == cmd::kProducts || command == cmd::kAlerts;
        EXPECT_EQ(outcome.replaces, !keepsOldList) << command;
        EXPECT_TRUE(outcome.records.empty()) << command;
        Bytes after(4);
        EXPECT_EQ(ReceiveExact(connection, after.data(), after.size()), 4) << command;
        EXPECT_EQ(after, next) << command;
    }
}

TEST(CountedList, AReplyBreakingOffInTheThirdOfFiveRecordsKeepsTwo)
{
    for (const std::int32_t command : kListCommands) {
        const Bytes third = Record(command, 2);
        const Outcome outcome = Exchange(
            command, test::Join({test::Int32Bytes(5), Record(command, 0), Record(command, 1),
                                 Bytes(third.begin(), third.begin() + third.size() / 2)}));
        EXPECT_TRUE(outcome.ok) << command;
        EXPECT_TRUE(outcome.replaces) << command;
        ASSERT_EQ(outcome.records.size(), 2u) << command;
        EXPECT_EQ(outcome.records[0], Record(command, 0)) << command;
        EXPECT_EQ(outcome.records[1], Record(command, 1)) << command;
    }
}

TEST(CountedList, ShortOrOddCountFollowsTheRule)
{
    struct Case {
        CountRule rule;
        Bytes sent;
        bool ok;
        std::int64_t count;
    };
    const Case cases[] = {
        {CountRule::Strict, {}, false, 0},
        {CountRule::Strict, {5, 0, 0}, false, 0},
        {CountRule::Strict, {5, 0, 0, 0}, true, 5},
        // The summary fails only while what arrived still reads zero.
        {CountRule::Summary, {}, false, 0},
        {CountRule::Summary, {0, 0, 0}, false, 0},
        {CountRule::Summary, {0, 0, 1}, true, 0x10000},
        {CountRule::Summary, {0, 0, 0, 0}, true, 0},
        {CountRule::Summary, {0xFF, 0xFF, 0xFF, 0xFF}, true, 0xFFFFFFFFll},
        // Products and alerts take whatever arrived.
        {CountRule::Lenient, {}, true, 0},
        {CountRule::Lenient, {3, 0}, true, 3},
        {CountRule::Lenient, {0xFF, 0xFF, 0xFF, 0xFF}, true, -1},
    };
    for (const Case &c : cases) {
        ScriptedPeer peer(Script().sendThenClose(c.sent));
        Connection connection = peer.connect();
        const ListCount count = ReadListCount(connection, c.rule);
        const auto label = ::testing::PrintToString(c.sent);
        EXPECT_EQ(count.ok, c.ok) << static_cast<int>(c.rule) << " " << label;
        if (c.ok) {
            EXPECT_EQ(count.count, c.count) << static_cast<int>(c.rule) << " " << label;
        }
    }
}

TEST(CountedList, AShortCountPerCommand)
{
    // Positions, orders and deals fail on any short count and leave the list alone; the
    // summary fails only while what arrived reads zero; products and alerts take what came.
    const struct {
        std::int32_t command;
        Bytes sent;
        bool ok;
    } cases[] = {
        {cmd::kPositions, {1, 0}, false},      {cmd::kPendingOrders, {1, 0}, false},
        {cmd::kDeals, {1, 0}, false},          {cmd::kPositionSummary, {0, 0, 0}, false},
        {cmd::kPositionSummary, {2, 0}, true}, {cmd::kProducts, {2, 0}, true},
        {cmd::kAlerts, {2, 0}, true},
    };
    for (const auto &c : cases) {
        const Outcome outcome = Exchange(c.command, c.sent);
        EXPECT_EQ(outcome.ok, c.ok) << c.command;
        EXPECT_EQ(outcome.replaces, c.ok) << c.command;
        EXPECT_TRUE(outcome.records.empty()) << c.command;
    }
}

TEST(CountedList, MinusOneIsAHugeCountOnlyForTheSummary)
{
    for (const std::int32_t command : kListCommands) {
        const Outcome outcome
            = Exchange(command, test::Join({test::Int32Bytes(-1), Record(command, 0),
                                            Record(command, 1), Record(command, 2)}));
        EXPECT_TRUE(outcome.ok) << command;
        if (command == cmd::kPositionSummary) {
            // Read until the records stop.
            EXPECT_TRUE(outcome.replaces);
            EXPECT_EQ(outcome.records.size(), 3u);
        } else {
            const bool keepsOldList = command == cmd::kProducts || command == cmd::kAlerts;
            EXPECT_EQ(outcome.replaces, !keepsOldList) << command;
            EXPECT_TRUE(outcome.records.empty()) << command;
        }
    }
}

TEST(CountedList, AStalledCountFailsAtTheReceiveTimeout)
{
    ScriptedPeer peer(Script().send({7, 0}).stall(Milliseconds(10000)));
    Connection connection = peer.connect();
    connection.socket().setReceiveTimeout(Milliseconds(200));
    const Outcome outcome = Read(connection, cmd::kPositions);
    EXPECT_FALSE(outcome.ok);
}

} // namespace
} // namespace qs
