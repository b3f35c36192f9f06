#include "server/KLineService.h"

#include "core/platform/Socket.h"
#include "server/HistorySlice.h"
#include "server/Market.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <array>
#include <atomic>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace qs::server {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Record = std::array<std::uint8_t, 48>;

constexpr std::int64_t kStart = 1700000000;

std::string KeyText(const KLineBar &bar)
{
    return BarKey::of(bar).str();
}

// A 13-byte key field as the client writes it: the text, then NULs.
Bytes KeyField(const std::string &text)
{
    Bytes field(13, 0);
    std::memcpy(field.data(), text.data(), std::min<std::size_t>(text.size(), 12));
    return field;
}

void PutInt32(Bytes &out, std::int32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(
            static_cast<std::uint8_t>((static_cast<std::uint32_t>(value) >> (8 * i)) & 0xFF));
}

std::int32_t GetInt32(const std::uint8_t *bytes)
{
    return static_cast<std::int32_t>(bytes[0] | bytes[1] << 8 | bytes[2] << 16
                                     | static_cast<std::uint32_t>(bytes[3]) << 24);
}

struct Reply {
    bool answered = false; // any byte came back
    std::int32_t length = 0;
    Bytes archive;
    std::string trailer;
    std::vector<Record> records; // every item, in archive order
    int items = 0;
};

// Unpacks the way the client does: every item in index order, 48-byte records in each.
bool Unpack(const Bytes &archive, Reply &reply)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *source = zip_source_buffer_create(archive.data(), archive.size(), 0, &error);
    zip_t *zip
        = source ? zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error) : nullptr;
    zip_error_fini(&error);
    if (!zip) {
        if (source)
            zip_source_free(source);
        return false;
    }
    bool ok = true;
    reply.items = static_cast<int>(zip_get_num_entries(zip, 0));
    for (zip_int64_t index = 0; ok && index < reply.items; ++index) {
        zip_stat_t stat;
        zip_file_t *file = zip_stat_index(zip, static_cast<zip_uint64_t>(index), 0, &stat) == 0
                               ? zip_fopen_index(zip, static_cast<zip_uint64_t>(index), 0)
                               : nullptr;
        if (!file) {
            ok = false;
            break;
        }
        Bytes data(stat.size);
        ok = zip_fread(file, data.data(), data.size()) == static_cast<zip_int64_t>(data.size())
             && data.size() % 48 == 0;
        zip_fclose(file);
        for (std::size_t at = 0; ok && at < data.size(); at += 48) {
            Record record;
            std::memcpy(record.data(), data.data() + at, 48);
            reply.records.push_back(record);
        }
    }
    zip_close(zip);
    return ok;
}

class KLineServiceTest : public ::testing::Test {
protected:
    KLineServiceTest()
    {
        Market::Options options;
        options.seed = 5;
        options.historyBars = 2500;
        options.signalEverySteps = 0;
        options.clock = [this] {
            return m_now.load();
        };
        m_market = std::make_unique<Market>(options);
        m_service = std::make_unique<KLineService>(*m_market);
        m_bars = m_market->completedBars(kProduct);
    }

    // One download exchange with hand-built request bytes; reads until the server closes.
    Reply download(std::int32_t productId, const std::string &from, const std::string &to)
    {
        Bytes request;
        PutInt32(request, productId);
        for (std::int32_t value : {11, 22, 33, 44, 8})
            PutInt32(request, value);
        const Bytes fromField = KeyField(from);
        const Bytes toField = KeyField(to);
        request.insert(request.end(), fromField.begin(), fromField.end());
        request.insert(request.end(), toField.begin(), toField.end());
        return exchange(request);
    }

    Reply exchange(const Bytes &request)
    {
        Socket client;
        Socket server;
        EXPECT_TRUE(Socket::makePair(client, server));
        client.setReceiveTimeout(Milliseconds(5000));
        std::thread serving(
            [this, socket = std::move(server)]() mutable { m_service->serve(std::move(socket)); });
        EXPECT_TRUE(client.sendAll(request.data(), request.size()));
        Bytes received;
        std::uint8_t chunk[65536];
        for (long got; (got = client.receive(chunk, sizeof chunk)) > 0;)
            received.insert(received.end(), chunk, chunk + got);
        serving.join();

        Reply reply;
        reply.answered = !received.empty();
        if (received.size() < 4 + 13)
            return reply;
        reply.length = GetInt32(received.data());
        EXPECT_EQ(received.size(), 4 + static_cast<std::size_t>(reply.length) + 13);
        reply.archive.assign(received.begin() + 4, received.begin() + 4 + reply.length);
        const auto *trailer = reinterpret_cast<const char *>(received.data() + 4 + reply.length);
        reply.trailer.assign(trailer, strnlen(trailer, 13));
        if (reply.length > 0) {
            EXPECT_TRUE(Unpack(reply.archive, reply));
        }
        return reply;
    }

    static std::vector<KLineBar> BarsOf(const Reply &reply)
    {
        std::vector<KLineBar> bars;
        for (const Record &record : reply.records) {
            if (record[36] == 0xFF)
                continue;
            KLineBar bar;
            std::memcpy(&bar, record.data(), sizeof bar);
            bars.push_back(bar);
        }
        return bars;
    }
    static int SignalsIn(const Reply &reply)
    {
        int count = 0;
        for (const Record &record : reply.records)
            count += record[36] == 0xFF ? 1 : 0;
        return count;
    }
    // The bars must be exactly m_bars[first, first + count), newest first.
    void expectBars(const Reply &reply, std::size_t first, std::size_t count)
    {
        const std::vector<KLineBar> bars = BarsOf(reply);
        ASSERT_EQ(bars.size(), count);
        for (std::size_t i = 0; i < count; ++i)
            ASSERT_EQ(std::memcmp(&bars[i], &m_bars[first + i], sizeof(KLineBar)), 0) << i;
    }

    static constexpr int kProduct = 1;
    std::atomic<std::int64_t> m_now{kStart};
    std::unique_ptr<Market> m_market;
    std::unique_ptr<KLineService> m_service;
    std::vector<KLineBar> m_bars;
};

TEST_F(KLineServiceTest, FromACachedBarSendsTheNewerBarsAndTheOverlap)
{
    SignalRecord standing{};
    standing.price = 176000;
    standing.stopLoss = 175500;
    standing.productId = kProduct;
    standing.kind = 11;
    standing.lots1 = 100;
    m_market->publishSignal(standing);
    m_market->step(); // the live bar moves; it never goes into a download

    const Reply reply = download(kProduct, KeyText(m_bars[5]), "0");
    ASSERT_GT(reply.length, 0);
    expectBars(reply, 0, 6);
    EXPECT_EQ(reply.trailer, KeyText(m_bars[6]));
    EXPECT_EQ(SignalsIn(reply), 1);
    for (const Record &record : reply.records) {
        if (record[36] == 0xFF) {
            EXPECT_EQ(std::memcmp(record.data(), &standing, 36), 0);
        } else {
            EXPECT_NE(record[36 + 2], ':') << "a live bar was sent";
        }
    }
}

TEST_F(KLineServiceTest, PagingWalksToTheOldestBarAndThenStops)
{
    // A "from" the server does not know gets the newest thousand, in several items.
    Reply reply = download(kProduct, "201001010000", "0");
    expectBars(reply, 0, 1000);
    EXPECT_GE(reply.items, 2);
    // As the client pages: "from" is the last trailer, "to" the oldest bar it holds.
    reply = download(kProduct, "0", "0");
    expectBars(reply, 0, 1000);
    EXPECT_EQ(reply.trailer, KeyText(m_bars[1000]));
    std::size_t held = 1000;
    std::string trailer = reply.trailer;
    int pages = 0;
    while (trailer != KeyText(m_bars[held - 1])) {
        ASSERT_LT(++pages, 5);
        reply = download(kProduct, trailer, KeyText(m_bars[held - 1]));
        const std::size_t count = std::min<std::size_t>(1000, m_bars.size() - held);
        expectBars(reply, held, count);
        EXPECT_EQ(SignalsIn(reply), 0);
        held += count;
        trailer = reply.trailer;
    }
    EXPECT_EQ(held, m_bars.size());
    EXPECT_EQ(pages, 2);

    // A page asked for beyond the oldest bar is empty and names "to" back.
    const std::string oldest = KeyText(m_bars.back());
    reply = download(kProduct, oldest, oldest);
    EXPECT_TRUE(reply.answered);
    EXPECT_EQ(reply.length, 0);
    EXPECT_EQ(reply.trailer, oldest);
}

TEST_F(KLineServiceTest, UnknownProductOrShortRequestGetsNoReply)
{
    for (std::int32_t product : {0, 29, -1}) {
        const Reply reply = download(product, "0", "0");
        EXPECT_FALSE(reply.answered) << product;
    }
    Bytes shortRequest;
    PutInt32(shortRequest, kProduct);
    shortRequest.resize(24 + 20, 0); // the body breaks off
    Socket client;
    Socket server;
    ASSERT_TRUE(Socket::makePair(client, server));
    std::thread serving(
        [this, socket = std::move(server)]() mutable { m_service->serve(std::move(socket)); });
    ASSERT_TRUE(client.sendAll(shortRequest.data(), shortRequest.size()));
    client.shutdownBoth();
    serving.join();
    std::uint8_t byte;
    EXPECT_LE(client.receive(&byte, 1), 0);
}

// What goes out unpacked: every record, then the trailer.
std::pair<std::vector<Record>, std::string> ContentOf(const KLineService::Reply &packed)
{
    Reply reply;
    if (!packed.archive.empty()) {
        EXPECT_TRUE(Unpack(packed.archive, reply));
    }
    return {reply.records, packed.trailer.str()};
}

TEST_F(KLineServiceTest, PackedRepliesAreFreshPacksOfTheMarketAsItIsNow)
{
    SignalRecord standing{};
    standing.price = 176000;
    standing.productId = kProduct;
    standing.lots1 = 100;
    const auto publish = [this](SignalRecord signal, int productId, int action) {
        signal.productId = static_cast<std::int8_t>(productId);
        signal.action = static_cast<std::uint8_t>(action);
        m_market->publishSignal(signal);
    };

    struct Case {
        const char *event;
        std::function<void()> change;
        bool changesFreshDownloads; // false: the packed reply must still be the one sent
    };
    const Case cases[] = {
        {"nothing", [] {}, false},
        {"a tick", [this] { m_market->step(); }, false},
        {"another product's signal", [&] { publish(standing, 2, 0); }, false},
        {"a completed bar",
         [this] {
             m_now += 7200;
             m_market->step();
         },
         true},
        {"a signal", [&] { publish(standing, kProduct, 0); }, true},
        {"its withdrawal", [&] { publish(standing, kProduct, 4); }, true},
        {"the signal again", [&] { publish(standing, kProduct, 0); }, true},
        {"other signals pushing it out",
         [&] {
             for (std::int32_t price = 1; price <= 256; ++price) {
                 SignalRecord other = standing;
                 other.price = price;
                 publish(other, 2, 0);
             }
         },
         true},
        {"bars enough to trim the front",
         [this] {
             for (int bars = 0; bars < 12000; bars += 1000) {
                 m_now += 7200 * 1000;
                 m_market->step();
             }
         },
         true},
    };
    const std::pair<BarKey, BarKey> requests[] = {
        {BarKey::none(), BarKey::none()},
        {BarKey::of(m_bars[5]), BarKey::none()},
        {BarKey::of(m_bars[1200]), BarKey::of(m_bars[999])},
    };

    for (const Case &test : cases) {
        std::vector<std::shared_ptr<const KLineService::Reply>> before;
        for (const auto &[from, to] : requests)
            before.push_back(m_service->answer(kProduct, from, to));
        test.change();
        for (std::size_t index = 0; index < std::size(requests); ++index) {
            const auto &[from, to] = requests[index];
            SCOPED_TRACE(std::string(test.event) + ", request " + std::to_string(index));
            const auto after = m_service->answer(kProduct, from, to);
            const auto fresh = KLineService(*m_market).answer(kProduct, from, to);
            EXPECT_TRUE(ContentOf(*after) == ContentOf(*fresh)) << "a stale reply went out";
            if (!test.changesFreshDownloads) {
                EXPECT_EQ(after, before[index]) << "packed again for nothing";
            } else if (to.isNone()) {
                EXPECT_FALSE(ContentOf(*after) == ContentOf(*before[index])) << "nothing changed";
            }
        }
    }
}

TEST(HistorySliceTest, PagesByTimeEvenForAKeyThatIsNotOurs)
{
    Market::Options options;
    options.historyBars = 30;
    options.signalEverySteps = 0;
    options.clock = [] {
        return kStart;
    };
    Market market(options);
    const std::vector<KLineBar> bars = market.completedBars(2);

    // One minute after bar 10: bar 10 is the first one strictly older.
    BarKey to = BarKey::of(bars[10]);
    to.text[11] = static_cast<char>(to.text[11] + 1);
    HistorySlice slice = HistorySlice::select(bars, BarKey::none(), to);
    EXPECT_EQ(slice.first, 10u);
    EXPECT_EQ(slice.count, 20u);
    EXPECT_EQ(slice.trailer, BarKey::of(bars[29]));

    // The key itself is not older than itself.
    slice = HistorySlice::select(bars, BarKey::none(), BarKey::of(bars[10]));
    EXPECT_EQ(slice.first, 11u);

    // A client whose cache is older than everything here gets an empty page naming its key.
    BarKey ancient{};
    std::memcpy(ancient.text, "199901010000", 12);
    slice = HistorySlice::select(bars, BarKey::none(), ancient);
    EXPECT_EQ(slice.count, 0u);
    EXPECT_EQ(slice.trailer, ancient);

    // The oldest bar as "from": everything, and nothing older to name but that bar.
    slice = HistorySlice::select(bars, BarKey::of(bars[29]), BarKey::none());
    EXPECT_EQ(slice.count, 30u);
    EXPECT_EQ(slice.trailer, BarKey::of(bars[29]));

    slice = HistorySlice::select({}, BarKey::none(), BarKey::none());
    EXPECT_EQ(slice.count, 0u);
    EXPECT_TRUE(slice.trailer.isNone());
}

} // namespace
} // namespace qs::server
