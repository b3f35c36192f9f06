// Golden layouts: the bytes are built by hand from the published offset tables, never from our
// structs, so a field that slips in a struct shows up here.
#include "core/protocol/AccountInfo.h"
#include "core/protocol/AlertInfo.h"
#include "core/protocol/DealInfo.h"
#include "core/protocol/DelegateInfo.h"
#include "core/protocol/HoldInfo.h"
#include "core/protocol/KLineBar.h"
#include "core/protocol/LoginRecords.h"
#include "core/protocol/SignalRecord.h"
#include "core/protocol/TypeInfo.h"
#include "core/protocol/WireRecord.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <string>

namespace qs {
namespace {

// A record's bytes. Every byte starts as noise, so a byte the client does not interpret is
// never zero by accident and the round trip proves it is carried.
template<std::size_t N>
class GoldenBytes {
public:
    GoldenBytes()
    {
        for (std::size_t i = 0; i < N; ++i)
            m_bytes[i] = static_cast<std::uint8_t>(0xA5 ^ (i * 37));
    }

    GoldenBytes &u8(std::size_t offset, std::uint8_t value)
    {
        m_bytes.at(offset) = value;
        return *this;
    }
    GoldenBytes &i32(std::size_t offset, std::int32_t value) { return put(offset, value); }
    GoldenBytes &f32(std::size_t offset, float value) { return put(offset, value); }
    GoldenBytes &f64(std::size_t offset, double value) { return put(offset, value); }
    // The text and its terminator; the rest of the field stays noise.
    GoldenBytes &text(std::size_t offset, const std::string &value)
    {
        for (std::size_t i = 0; i <= value.size(); ++i)
            m_bytes.at(offset + i) = static_cast<std::uint8_t>(value.c_str()[i]);
        return *this;
    }

    template<class T>
    T decode() const
    {
        static_assert(sizeof(T) == N);
        return DecodeRecord<T>(m_bytes.data());
    }

    // decode -> encode gives back every byte, listed or not.
    template<class T>
    void expectRoundTrip() const
    {
        std::array<std::uint8_t, N> out{};
        EncodeRecord(decode<T>(), out.data());
        for (std::size_t i = 0; i < N; ++i)
            ASSERT_EQ(out[i], m_bytes[i]) << "byte " << i;
    }

private:
    template<class V>
    GoldenBytes &put(std::size_t offset, V value)
    {
        unsigned char raw[sizeof(V)];
        std::memcpy(raw, &value, sizeof(V));
        for (std::size_t i = 0; i < sizeof(V); ++i) // little-endian on the wire
            m_bytes.at(offset + i) = raw[i];
        return *this;
    }

    std::array<std::uint8_t, N> m_bytes;
};

template<std::size_t N>
std::string Text(const char (&field)[N])
{
    return std::string(field, strnlen(field, N));
}

TEST(RecordLayout, TypeInfo)
{
    GoldenBytes<288> bytes;
    bytes.i32(0, 7)
        .f32(12, 1001.5f)
        .f32(16, 1002.25f)
        .f32(20, 1000.75f)
        .i32(24, 2)
        .f32(28, 0.125f)
        .text(40, "GOLD")
        .text(80, "AU01")
        .i32(120, 1000)
        .i32(124, 3)
        .f32(128, 0.5f)
        .i32(132, 50)
        .i32(136, 1)
        .f32(140, 5.0f)
        .i32(144, 200)
        .i32(148, 1)
        .f32(152, 8.0f)
        .i32(156, 1)
        .i32(160, 2)
        .f32(164, 10.0f)
        .f32(172, 25.0f)
        .f32(176, 0.75f)
        .f32(180, 0.25f)
        .f32(184, 3.0f)
        .f32(188, 4.0f)
        .i32(192, 1)
        .i32(200, 2)
        .text(204, "LEG-ONE")
        .text(244, "LEG-TWO");
    const TypeInfo r = bytes.decode<TypeInfo>();
    EXPECT_EQ(r.productId, 7);
    EXPECT_EQ(r.lastPrice, 1001.5f);
    EXPECT_EQ(r.buyPrice, 1002.25f);
    EXPECT_EQ(r.sellPrice, 1000.75f);
    EXPECT_EQ(r.digits, 2);
    EXPECT_EQ(r.pointValue, 0.125f);
    EXPECT_EQ(Text(r.name), "GOLD");
    EXPECT_EQ(Text(r.codeText), "AU01");
    EXPECT_EQ(r.unitAmount, 1000);
    EXPECT_EQ(r.unitKind, 3);
    EXPECT_EQ(r.minLots, 0.5f);
    EXPECT_EQ(r.maxLots, 50);
    EXPECT_EQ(r.lotDecimals, 1);
    EXPECT_EQ(r.lotStep, 5.0f);
    EXPECT_EQ(r.maxPosition, 200);
    EXPECT_EQ(r.commissionMethod, 1);
    EXPECT_EQ(r.commissionValue, 8.0f);
    EXPECT_EQ(r.commissionCharging, 1);
    EXPECT_EQ(r.marginMethod, 2);
    EXPECT_EQ(r.marginValue, 10.0f);
    EXPECT_EQ(r.deferralValue, 25.0f);
    EXPECT_EQ(r.askSpread, 0.75f);
    EXPECT_EQ(r.bidSpread, 0.25f);
    EXPECT_EQ(r.limitDistance, 3.0f);
    EXPECT_EQ(r.stopDistance, 4.0f);
    EXPECT_EQ(r.tradable, 1);
    EXPECT_EQ(r.singleInstrument, 2);
    EXPECT_EQ(Text(r.leg1Name), "LEG-ONE");
    EXPECT_EQ(Text(r.leg2Name), "LEG-TWO");
    bytes.expectRoundTrip<TypeInfo>();
}

TEST(RecordLayout, HoldInfo)
{
    GoldenBytes<264> bytes;
    bytes
        .text(0, "20110616000000000123") // 20 characters and the terminator fill char[21]
        .i32(24, 12)
        .text(28, "SILVER")
        .i32(72, 1)
        .f64(80, 3.5)
        .f64(88, 2.25)
        .f64(96, 1000.5)
        .f64(112, 990.25)
        .f64(120, 1010.75)
        .f64(136, 4321.5)
        .text(144, "2011-06-16 10:00:00")
        .f64(192, 1.5)
        .f64(208, 2.5)
        .f64(224, 3.25)
        .i32(232, 1)
        .i32(236, 101)
        .i32(240, 102)
        .i32(244, 103)
        .i32(248, 11)
        .i32(252, 22)
        .i32(256, 33)
        .i32(260, 44);
    const HoldInfo r = bytes.decode<HoldInfo>();
    EXPECT_EQ(Text(r.positionNumber), "20110616000000000123");
    EXPECT_EQ(r.productId, 12);
    EXPECT_EQ(Text(r.productName), "SILVER");
    EXPECT_EQ(r.side, 1);
    EXPECT_EQ(r.lotsOpened, 3.5);
    EXPECT_EQ(r.lotsHeld, 2.25);
    EXPECT_EQ(r.openPrice, 1000.5);
    EXPECT_EQ(r.stopLoss, 990.25);
    EXPECT_EQ(r.takeProfit, 1010.75);
    EXPECT_EQ(r.margin, 4321.5);
    EXPECT_EQ(Text(r.openTime), "2011-06-16 10:00:00");
    EXPECT_EQ(r.deferralFee, 1.5);
    EXPECT_EQ(r.commission1, 2.5);
    EXPECT_EQ(r.commission2, 3.25);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.openY, 101);
    EXPECT_EQ(r.stopLossY, 102);
    EXPECT_EQ(r.takeProfitY, 103);
    EXPECT_EQ(r.labelRect[0], 11);
    EXPECT_EQ(r.labelRect[1], 22);
    EXPECT_EQ(r.labelRect[2], 33);
    EXPECT_EQ(r.labelRect[3], 44);
    bytes.expectRoundTrip<HoldInfo>();
}

TEST(RecordLayout, DelegateInfo)
{
    GoldenBytes<256> bytes;
    bytes.text(0, "D0000000000000000042")
        .i32(24, 5)
        .text(28, "CRUDE")
        .i32(72, 2)
        .f64(80, 1.25)
        .f64(88, 88.5)
        .f64(96, 87.25)
        .f64(104, 90.75)
        .i32(144, 4)
        .i32(148, 2)
        .text(152, "P0000000000000000007")
        .i32(176, 1)
        .text(180, "2011-06-16 11:30:00")
        .i32(220, 3)
        .i32(224, 201)
        .i32(228, 202)
        .i32(232, 203)
        .i32(236, 5)
        .i32(240, 6)
        .i32(244, 7)
        .i32(248, 8);
    const DelegateInfo r = bytes.decode<DelegateInfo>();
    EXPECT_EQ(Text(r.orderNumber), "D0000000000000000042");
    EXPECT_EQ(r.productId, 5);
    EXPECT_EQ(Text(r.productName), "CRUDE");
    EXPECT_EQ(r.side, 2);
    EXPECT_EQ(r.lots, 1.25);
    EXPECT_EQ(r.orderPrice, 88.5);
    EXPECT_EQ(r.stopLoss, 87.25);
    EXPECT_EQ(r.takeProfit, 90.75);
    EXPECT_EQ(r.triggerKind, 4);
    EXPECT_EQ(r.openOrClose, 2);
    EXPECT_EQ(Text(r.relatedPosition), "P0000000000000000007");
    EXPECT_EQ(r.validity, 1);
    EXPECT_EQ(Text(r.orderTime), "2011-06-16 11:30:00");
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.orderY, 201);
    EXPECT_EQ(r.stopLossY, 202);
    EXPECT_EQ(r.takeProfitY, 203);
    EXPECT_EQ(r.labelRect[0], 5);
    EXPECT_EQ(r.labelRect[1], 6);
    EXPECT_EQ(r.labelRect[2], 7);
    EXPECT_EQ(r.labelRect[3], 8);
    bytes.expectRoundTrip<DelegateInfo>();
}

TEST(RecordLayout, DealInfo)
{
    GoldenBytes<224> bytes;
    bytes.text(0, "T0000000000000000099")
        .text(28, "EURUSD")
        .i32(72, 1)
        .f64(80, 0.5)
        .f64(88, 1.4375)
        .f64(96, -12.5)
        .text(128, "D0000000000000000042")
        .text(149, "P0000000000000000007")
        .i32(172, 2)
        .i32(176, 1)
        .i32(180, 3)
        .text(184, "2011-06-16 12:00:00");
    const DealInfo r = bytes.decode<DealInfo>();
    EXPECT_EQ(Text(r.dealNumber), "T0000000000000000099");
    EXPECT_EQ(Text(r.productName), "EURUSD");
    EXPECT_EQ(r.side, 1);
    EXPECT_EQ(r.lots, 0.5);
    EXPECT_EQ(r.price, 1.4375);
    EXPECT_EQ(r.profit, -12.5);
    EXPECT_EQ(Text(r.orderNumber), "D0000000000000000042");
    EXPECT_EQ(Text(r.positionNumber), "P0000000000000000007");
    EXPECT_EQ(r.openOrClose, 2);
    EXPECT_EQ(r.fillKind, 1);
    EXPECT_EQ(r.byUser, 3);
    EXPECT_EQ(Text(r.dealTime), "2011-06-16 12:00:00");
    bytes.expectRoundTrip<DealInfo>();
}

TEST(RecordLayout, AccountInfo)
{
    GoldenBytes<160> bytes;
    bytes.text(21, "member-account")
        .f64(48, 100000.0)
        .f64(56, 50000.0)
        .f64(64, 123456.75)
        .f64(72, -250.5)
        .f64(80, 12.25)
        .f64(88, 8000.0)
        .f64(96, 600.5)
        .f64(104, 7.75)
        .f64(112, 3.5)
        .i32(120, 4);
    const AccountInfo r = bytes.decode<AccountInfo>();
    EXPECT_EQ(Text(r.accountName), "member-account");
    EXPECT_EQ(r.capitalBase, 100000.0);
    EXPECT_EQ(r.depositsTotal, 50000.0);
    EXPECT_EQ(r.usableFunds, 123456.75);
    EXPECT_EQ(r.closedProfitToday, -250.5);
    EXPECT_EQ(r.commissionToday, 12.25);
    EXPECT_EQ(r.occupiedMargin, 8000.0);
    EXPECT_EQ(r.frozenMargin, 600.5);
    EXPECT_EQ(r.frozenCommission, 7.75);
    EXPECT_EQ(r.deferralFeeYesterday, 3.5);
    EXPECT_EQ(r.award, 4);
    bytes.expectRoundTrip<AccountInfo>();
}

TEST(RecordLayout, AlertInfo)
{
    GoldenBytes<40> bytes;
    bytes.i32(0, 314).f64(16, 1523.25).i32(24, 2).i32(28, 9).i32(32, 2);
    const AlertInfo r = bytes.decode<AlertInfo>();
    EXPECT_EQ(r.alertId, 314);
    EXPECT_EQ(r.level, 1523.25);
    EXPECT_EQ(r.condition, 2);
    EXPECT_EQ(r.productId, 9);
    EXPECT_EQ(r.requestMark, 2);
    bytes.expectRoundTrip<AlertInfo>();
}

TEST(RecordLayout, LoginRequest)
{
    GoldenBytes<156> bytes;
    bytes.text(0, "member01")
        .text(41, "secret")
        .text(82, "AB12")
        .i32(92, 1)
        .i32(96, 0x01020304)
        .i32(100, 0x05060708)
        .i32(104, -1)
        .i32(108, 0x7FFFFFFF)
        .text(124, "BFEBFBFF000206A7");
    const char adapter[] = "0016D3A1B2C3"; // 12 characters, no terminator of its own
    for (std::size_t i = 0; i < 12; ++i)
        bytes.u8(112 + i, static_cast<std::uint8_t>(adapter[i]));
    const LoginRequest r = bytes.decode<LoginRequest>();
    EXPECT_EQ(Text(r.memberName), "member01");
    EXPECT_EQ(Text(r.password), "secret");
    EXPECT_EQ(Text(r.code), "AB12");
    EXPECT_EQ(r.constantOne, 1);
    EXPECT_EQ(r.token.values[0], 0x01020304);
    EXPECT_EQ(r.token.values[1], 0x05060708);
    EXPECT_EQ(r.token.values[2], -1);
    EXPECT_EQ(r.token.values[3], 0x7FFFFFFF);
    EXPECT_EQ(std::string(r.adapterAddress, 12), "0016D3A1B2C3");
    EXPECT_EQ(Text(r.processorId), "BFEBFBFF000206A7");
    bytes.expectRoundTrip<LoginRequest>();
}

TEST(RecordLayout, LoginReply)
{
    GoldenBytes<20> bytes;
    bytes.i32(0, 99).i32(4, -2).i32(8, 4).i32(12, 1).i32(16, 365);
    const LoginReply r = bytes.decode<LoginReply>();
    EXPECT_EQ(r.unused, 99);
    EXPECT_EQ(r.result, -2);
    EXPECT_EQ(r.memberLevel, 4);
    EXPECT_EQ(r.accountKind, 1);
    EXPECT_EQ(r.daysLeft, 365);
    bytes.expectRoundTrip<LoginReply>();
}

TEST(RecordLayout, KLineBar)
{
    GoldenBytes<48> bytes;
    bytes.i32(0, 3)
        .i32(4, 100050)
        .i32(8, 100175)
        .i32(12, 100300)
        .i32(16, 99900)
        .i32(20, 100000)
        .i32(24, 2)
        .i32(28, 2011)
        .i32(32, -123456)
        .text(36, "06161000");
    const KLineBar r = bytes.decode<KLineBar>();
    EXPECT_EQ(r.productId, 3);
    EXPECT_EQ(r.open, 100050);
    EXPECT_EQ(r.close, 100175);
    EXPECT_EQ(r.high, 100300);
    EXPECT_EQ(r.low, 99900);
    EXPECT_EQ(r.reference, 100000);
    EXPECT_EQ(r.digits, 2);
    EXPECT_EQ(r.keyNumber, 2011);
    EXPECT_EQ(r.carried32, -123456);
    EXPECT_EQ(Text(r.timeText), "06161000");
    EXPECT_FALSE(r.isLive());
    EXPECT_FALSE(IsSignalRecord(&r));
    bytes.expectRoundTrip<KLineBar>();

    bytes.text(36, "10:15:42");
    EXPECT_TRUE(bytes.decode<KLineBar>().isLive());
}

TEST(RecordLayout, SignalRecord)
{
    GoldenBytes<48> bytes;
    bytes.i32(0, 152350)
        .i32(4, 151000)
        .i32(8, 250)
        .u8(12, 0x9C)
        .u8(13, 0xFE) // product id is a signed byte
        .u8(14, 5)
        .u8(15, 21)
        .i32(16, -150)
        .i32(20, 300)
        .i32(24, 77)
        .i32(28, 1308189600)
        .u8(36, 0xFF)
        .u8(37, 0x42);
    const SignalRecord r = bytes.decode<SignalRecord>();
    EXPECT_EQ(r.price, 152350);
    EXPECT_EQ(r.stopLoss, 151000);
    EXPECT_EQ(r.capital, 250);
    EXPECT_EQ(r.keyByte12, 0x9C);
    EXPECT_EQ(r.productId, -2);
    EXPECT_EQ(r.action, 5);
    EXPECT_TRUE(r.isWithdrawal());
    EXPECT_EQ(r.kind, 21);
    EXPECT_FALSE(r.isSupport());
    EXPECT_EQ(r.lots1, -150);
    EXPECT_EQ(r.lots2, 300);
    EXPECT_EQ(r.chartY, 77);
    EXPECT_EQ(r.published, 1308189600);
    EXPECT_EQ(r.marker, 0xFF);
    EXPECT_EQ(r.keyByte37, 0x42);
    EXPECT_TRUE(IsSignalRecord(&r));
    bytes.expectRoundTrip<SignalRecord>();
}

TEST(RecordLayout, SignalKey)
{
    GoldenBytes<48> bytes;
    bytes.i32(0, 1000).i32(4, 900).i32(16, 100).u8(12, 1).u8(13, 4).u8(36, 0xFF).u8(37, 9);
    const SignalRecord base = bytes.decode<SignalRecord>();

    struct Change {
        std::size_t offset;
        bool keyed;
    };
    // Offsets 8, 14, 15, 20, 24 and 28 change the signal's content, not which signal it is.
    const Change changes[] = {{0, true},   {4, true},   {16, true},  {12, true},  {13, true},
                              {37, true},  {8, false},  {14, false}, {15, false}, {20, false},
                              {24, false}, {28, false}, {32, false}, {40, false}};
    for (const Change &change : changes) {
        GoldenBytes<48> other = bytes;
        other.u8(change.offset, 0x5A);
        EXPECT_EQ(base.sameKey(other.decode<SignalRecord>()), !change.keyed)
            << "offset " << change.offset;
    }
}

TEST(RecordLayout, BarKey)
{
    struct Case {
        std::int32_t keyNumber;
        const char *time;
        std::array<char, 13> expected;
    };
    const Case cases[] = {
        {2011, "06161000", {'2', '0', '1', '1', '0', '6', '1', '6', '1', '0', '0', '0', 0}},
        // A short key number leaves its terminator under the time text's start.
        {7, "0616", {'7', 0, 0, 0, '0', '6', '1', '6', 0, 0, 0, 0, 0}},
        // A fifth digit is overwritten by the time text.
        {20115, "0616", {'2', '0', '1', '1', '0', '6', '1', '6', 0, 0, 0, 0, 0}},
    };
    for (const Case &c : cases) {
        GoldenBytes<48> bytes;
        bytes.i32(28, c.keyNumber).text(36, c.time);
        const BarKey key = BarKey::of(bytes.decode<KLineBar>());
        EXPECT_EQ(std::memcmp(key.text, c.expected.data(), 13), 0) << key.str();
    }

    const char none[13] = {'0'};
    EXPECT_EQ(std::memcmp(BarKey::none().text, none, 13), 0);
    EXPECT_TRUE(BarKey::none().isNone());
    GoldenBytes<48> bar;
    bar.i32(28, 2011).text(36, "06161000");
    EXPECT_FALSE(BarKey::of(bar.decode<KLineBar>()).isNone());
}

} // namespace
} // namespace qs
