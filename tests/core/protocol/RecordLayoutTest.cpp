// Golden layouts: the bytes are built by hand from the published offset tables, never from our
// structs, so a field that slips in a struct shows up here.
#include "core/protocol/AccountInfo.h"
#include "core/protocol/AlertInfo.h"
#include "core/protocol/DealInfo.h"
#include "core/protocol/DelegateInfo.h"
#include "core/protocol/HoldInfo.h"
#include "core/protocol/KLineBar.h"
#include "core/protocol/LoginRecords.h"
#include "core/protocol/OrderRecords.h"
#include "core/protocol/SignalRecord.h"
#include "core/protocol/TypeInfo.h"
#include "core/protocol/WireRecord.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <type_traits>
#include <vector>

namespace qs {
namespace {

// A record's bytes plus, for every field written, the check its decoded value must pass. Every
// byte starts as noise, so a byte the client does not interpret is never zero by accident and
// the round trip proves it is carried.
template<class T, std::size_t Size>
class Golden {
    static_assert(sizeof(T) == Size, "record size");

public:
    Golden()
    {
        for (std::size_t i = 0; i < m_bytes.size(); ++i)
            m_bytes[i] = static_cast<std::uint8_t>(0xA5 ^ (i * 37));
    }

    // `get` is a member pointer or a getter; the wire width must match the field's width.
    template<class Get>
    Golden &i32(std::size_t at, Get get, std::int32_t value)
    {
        return field(at, get, value);
    }
    template<class Get>
    Golden &f32(std::size_t at, Get get, float value)
    {
        return field(at, get, value);
    }
    template<class Get>
    Golden &f64(std::size_t at, Get get, double value)
    {
        return field(at, get, value);
    }
    template<class Get>
    Golden &u8(std::size_t at, Get get, std::uint8_t value)
    {
        return field(at, get, value);
    }
    // Four consecutive int32 values read back through an indexable field.
    template<class Get>
    Golden &i32x4(std::size_t at, Get get, std::array<std::int32_t, 4> values)
    {
        static_assert(sizeof(std::invoke_result_t<Get, const T &>) == 16);
        for (std::size_t i = 0; i < 4; ++i)
            put(at + 4 * i, values[i]);
        m_checks.push_back([=](const T &r) {
            for (std::size_t i = 0; i < 4; ++i)
                EXPECT_EQ(std::invoke(get, r)[i], values[i]) << "offset " << at + 4 * i;
        });
        return *this;
    }
    // The text and its terminator; the rest of the field stays noise.
    template<class Get>
    Golden &text(std::size_t at, Get get, const std::string &value)
    {
        for (std::size_t i = 0; i <= value.size(); ++i)
            m_bytes.at(at + i) = static_cast<std::uint8_t>(value.c_str()[i]);
        m_checks.push_back([=](const T &r) {
            const auto &f = std::invoke(get, r);
            EXPECT_EQ(std::string(f, strnlen(f, sizeof f)), value) << "offset " << at;
        });
        return *this;
    }
    // A byte with no check of its own.
    Golden &byte(std::size_t at, std::uint8_t value)
    {
        m_bytes.at(at) = value;
        return *this;
    }

    T decode() const { return DecodeRecord<T>(m_bytes.data()); }

    // Checks every written field, then that decode -> encode gives back every byte.
    T verify() const
    {
        const T r = decode();
        for (const auto &check : m_checks)
            check(r);
        std::array<std::uint8_t, sizeof(T)> out{};
        EncodeRecord(r, out.data());
        for (std::size_t i = 0; i < out.size(); ++i)
            EXPECT_EQ(out[i], m_bytes[i]) << "byte " << i;
        return r;
    }

private:
    template<class Get, class Wire>
    Golden &field(std::size_t at, Get get, Wire value)
    {
        using Field = std::remove_cvref_t<std::invoke_result_t<Get, const T &>>;
        static_assert(sizeof(Field) == sizeof(Wire), "wire width");
        put(at, value);
        m_checks.push_back(
            [=](const T &r) { EXPECT_EQ(std::invoke(get, r), value) << "offset " << at; });
        return *this;
    }
    template<class V>
    void put(std::size_t at, V value)
    {
        unsigned char raw[sizeof(V)];
        std::memcpy(raw, &value, sizeof(V));
        for (std::size_t i = 0; i < sizeof(V); ++i) // little-endian on the wire
            m_bytes.at(at + i) = raw[i];
    }

    std::array<std::uint8_t, sizeof(T)> m_bytes;
    std::vector<std::function<void(const T &)>> m_checks;
};

TEST(RecordLayout, TypeInfo)
{
    using R = TypeInfo;
    Golden<R, 288>()
        .i32(0, &R::productId, 7)
        .f32(12, &R::lastPrice, 1001.5f)
        .f32(16, &R::buyPrice, 1002.25f)
        .f32(20, &R::sellPrice, 1000.75f)
        .i32(24, &R::digits, 2)
        .f32(28, &R::pointValue, 0.125f)
        .text(40, &R::name, "GOLD")
        .text(80, &R::codeText, "AU01")
        .i32(120, &R::unitAmount, 1000)
        .i32(124, &R::unitKind, 3)
        .f32(128, &R::minLots, 0.5f)
        .i32(132, &R::maxLots, 50)
        .i32(136, &R::lotDecimals, 1)
        .f32(140, &R::lotStep, 5.0f)
        .i32(144, &R::maxPosition, 200)
        .i32(148, &R::commissionMethod, 1)
        .f32(152, &R::commissionValue, 8.0f)
        .i32(156, &R::commissionCharging, 1)
        .i32(160, &R::marginMethod, 2)
        .f32(164, &R::marginValue, 10.0f)
        .f32(172, &R::deferralValue, 25.0f)
        .f32(176, &R::askSpread, 0.75f)
        .f32(180, &R::bidSpread, 0.25f)
        .f32(184, &R::limitDistance, 3.0f)
        .f32(188, &R::stopDistance, 4.0f)
        .i32(192, &R::tradable, 1)
        .i32(200, &R::singleInstrument, 2)
        .text(204, &R::leg1Name, "LEG-ONE")
        .text(244, &R::leg2Name, "LEG-TWO")
        .verify();
}

TEST(RecordLayout, HoldInfo)
{
    using R = HoldInfo;
    Golden<R, 264>()
        .text(0, &R::positionNumber, "20110616000000000123") // 20 characters fill char[21]
        .i32(24, &R::productId, 12)
        .text(28, &R::productName, "SILVER")
        .i32(72, &R::side, 1)
        .f64(80, &R::lotsOpened, 3.5)
        .f64(88, &R::lotsHeld, 2.25)
        .f64(96, &R::openPrice, 1000.5)
        .f64(112, &R::stopLoss, 990.25)
        .f64(120, &R::takeProfit, 1010.75)
        .f64(136, &R::margin, 4321.5)
        .text(144, &R::openTime, "2011-06-16 10:00:00")
        .f64(192, &R::deferralFee, 1.5)
        .f64(208, &R::commission1, 2.5)
        .f64(224, &R::commission2, 3.25)
        .i32(232, &R::status, 1)
        .i32(236, &R::openY, 101)
        .i32(240, &R::stopLossY, 102)
        .i32(244, &R::takeProfitY, 103)
        .i32x4(248, &R::labelRect, {11, 22, 33, 44})
        .verify();
}

TEST(RecordLayout, DelegateInfo)
{
    using R = DelegateInfo;
    Golden<R, 256>()
        .text(0, &R::orderNumber, "D0000000000000000042")
        .i32(24, &R::productId, 5)
        .text(28, &R::productName, "CRUDE")
        .i32(72, &R::side, 2)
        .f64(80, &R::lots, 1.25)
        .f64(88, &R::orderPrice, 88.5)
        .f64(96, &R::stopLoss, 87.25)
        .f64(104, &R::takeProfit, 90.75)
        .i32(144, &R::triggerKind, 4)
        .i32(148, &R::openOrClose, 2)
        .text(152, &R::relatedPosition, "P0000000000000000007")
        .i32(176, &R::validity, 1)
        .text(180, &R::orderTime, "2011-06-16 11:30:00")
        .i32(220, &R::status, 3)
        .i32(224, &R::orderY, 201)
        .i32(228, &R::stopLossY, 202)
        .i32(232, &R::takeProfitY, 203)
        .i32x4(236, &R::labelRect, {5, 6, 7, 8})
        .verify();
}

TEST(RecordLayout, DealInfo)
{
    using R = DealInfo;
    Golden<R, 224>()
        .text(0, &R::dealNumber, "T0000000000000000099")
        .text(28, &R::productName, "EURUSD")
        .i32(72, &R::side, 1)
        .f64(80, &R::lots, 0.5)
        .f64(88, &R::price, 1.4375)
        .f64(96, &R::profit, -12.5)
        .text(128, &R::orderNumber, "D0000000000000000042")
        .text(149, &R::positionNumber, "P0000000000000000007")
        .i32(172, &R::openOrClose, 2)
        .i32(176, &R::fillKind, 1)
        .i32(180, &R::byUser, 3)
        .text(184, &R::dealTime, "2011-06-16 12:00:00")
        .verify();
}

TEST(RecordLayout, AccountInfo)
{
    using R = AccountInfo;
    Golden<R, 160>()
        .text(21, &R::accountName, "member-account")
        .f64(48, &R::capitalBase, 100000.0)
        .f64(56, &R::depositsTotal, 50000.0)
        .f64(64, &R::usableFunds, 123456.75)
        .f64(72, &R::closedProfitToday, -250.5)
        .f64(80, &R::commissionToday, 12.25)
        .f64(88, &R::occupiedMargin, 8000.0)
        .f64(96, &R::frozenMargin, 600.5)
        .f64(104, &R::frozenCommission, 7.75)
        .f64(112, &R::deferralFeeYesterday, 3.5)
        .i32(120, &R::award, 4)
        .verify();
}

TEST(RecordLayout, AlertInfo)
{
    using R = AlertInfo;
    Golden<R, 40>()
        .i32(0, &R::alertId, 314)
        .f64(16, &R::level, 1523.25)
        .i32(24, &R::condition, 2)
        .i32(28, &R::productId, 9)
        .i32(32, &R::requestMark, 2)
        .verify();
}

TEST(RecordLayout, OpenOrderBody)
{
    using R = OpenOrderBody;
    Golden<R, 36>()
        .i32(0, &R::productId, 4)
        .f32(4, &R::price, 1765.5f)
        .f32(8, &R::stopLoss, 1750.25f)
        .f32(12, &R::takeProfit, 1790.75f)
        .f32(16, &R::lots, 2.5f)
        .i32(20, &R::kind, 2)
        .i32(24, &R::direction, 1)
        .i32(28, &R::validity, 2)
        .f32(32, &R::slippage, 0.5f)
        .verify();
}

TEST(RecordLayout, ChangeStopsBody)
{
    using R = ChangeStopsBody;
    Golden<R, 32>()
        .text(0, &R::positionNumber, "P0000000000000000007")
        .f32(24, &R::stopLoss, 88.25f)
        .f32(28, &R::takeProfit, 91.5f)
        .verify();
}

TEST(RecordLayout, LoginRequest)
{
    using R = LoginRequest;
    Golden<R, 156>()
        .text(0, &R::memberName, "member01")
        .text(41, &R::password, "secret")
        .text(82, &R::code, "AB12")
        .i32(92, &R::constantOne, 1)
        .i32x4(96, [](const R &r) -> const auto & { return r.token.values; },
               {0x01020304, 0x05060708, -1, 0x7FFFFFFF})
        // 12 characters without a terminator: the processor id overwrites the one written here.
        .text(112, &R::adapterAddress, "0016D3A1B2C3")
        .text(124, &R::processorId, "BFEBFBFF000206A7")
        .verify();
}

TEST(RecordLayout, LoginReply)
{
    using R = LoginReply;
    Golden<R, 20>()
        .i32(0, &R::unused, 99)
        .i32(4, &R::result, -2)
        .i32(8, &R::memberLevel, 4)
        .i32(12, &R::accountKind, 1)
        .i32(16, &R::daysLeft, 365)
        .verify();
}

TEST(RecordLayout, KLineBar)
{
    using R = KLineBar;
    Golden<R, 48> bytes;
    bytes.i32(0, &R::productId, 3)
        .i32(4, &R::open, 100050)
        .i32(8, &R::close, 100175)
        .i32(12, &R::high, 100300)
        .i32(16, &R::low, 99900)
        .i32(20, &R::reference, 100000)
        .i32(24, &R::digits, 2)
        .i32(28, &R::keyNumber, 2011)
        .i32(32, &R::carried32, -123456)
        .text(36, &R::timeText, "06161000");
    const KLineBar r = bytes.verify();
    EXPECT_FALSE(r.isLive());
    EXPECT_FALSE(IsSignalRecord(&r));

    bytes.text(36, &R::timeText, "10:15:42");
    EXPECT_TRUE(bytes.decode().isLive());
}

TEST(RecordLayout, SignalRecord)
{
    using R = SignalRecord;
    const SignalRecord r = Golden<R, 48>()
                               .i32(0, &R::price, 152350)
                               .i32(4, &R::stopLoss, 151000)
                               .i32(8, &R::capital, 250)
                               .u8(12, &R::keyByte12, 0x9C)
                               .byte(13, 0xFE) // product id is a signed byte
                               .u8(14, &R::action, 5)
                               .u8(15, &R::kind, 21)
                               .i32(16, &R::lots1, -150)
                               .i32(20, &R::lots2, 300)
                               .i32(24, &R::chartY, 77)
                               .i32(28, &R::published, 1308189600)
                               .u8(36, &R::marker, 0xFF)
                               .u8(37, &R::keyByte37, 0x42)
                               .verify();
    EXPECT_EQ(r.productId, -2);
    EXPECT_TRUE(r.isWithdrawal());
    EXPECT_FALSE(r.isSupport());
    EXPECT_TRUE(IsSignalRecord(&r));
}

TEST(RecordLayout, SignalKey)
{
    Golden<SignalRecord, 48> bytes;
    bytes.byte(0, 0xE8).byte(4, 0x84).byte(16, 100).byte(12, 1).byte(13, 4).byte(36, 0xFF);
    const SignalRecord base = bytes.decode();

    // Offsets 8, 14, 15, 20, 24 and 28 change the signal's content, not which signal it is.
    for (const std::size_t keyed : {0, 4, 16, 12, 13, 37}) {
        Golden<SignalRecord, 48> other = bytes;
        EXPECT_FALSE(base.sameKey(other.byte(keyed, 0x5A).decode())) << "offset " << keyed;
    }
    for (const std::size_t content : {8, 14, 15, 20, 24, 28, 32, 40}) {
        Golden<SignalRecord, 48> other = bytes;
        EXPECT_TRUE(base.sameKey(other.byte(content, 0x5A).decode())) << "offset " << content;
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
        const KLineBar bar = Golden<KLineBar, 48>()
                                 .i32(28, &KLineBar::keyNumber, c.keyNumber)
                                 .text(36, &KLineBar::timeText, c.time)
                                 .decode();
        const BarKey key = BarKey::of(bar);
        EXPECT_EQ(std::memcmp(key.text, c.expected.data(), 13), 0) << key.str();
        EXPECT_FALSE(key.isNone());
    }

    const char none[13] = {'0'};
    EXPECT_EQ(std::memcmp(BarKey::none().text, none, 13), 0);
    EXPECT_TRUE(BarKey::none().isNone());
}

} // namespace
} // namespace qs
