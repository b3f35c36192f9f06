#include "core/chart/KLineDownload.h"

#include "core/chart/BarList.h"
#include "core/market/SignalList.h"
#include "core/platform/SupportLog.h"
#include "core/protocol/Connection.h"
#include "core/protocol/RequestHeader.h"
#include "core/protocol/SignalRecord.h"
#include "core/protocol/WireRecord.h"

#include <cstring>
#include <optional>
#include <string>
#include <system_error>
#include <utility>

namespace qs {

namespace {

using Clock = std::chrono::steady_clock;

std::chrono::nanoseconds Since(Clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - start);
}

} // namespace

struct KLineDownload::Worker {
    std::thread thread;
    std::atomic<bool> done{false};
};

KLineDownload::KLineDownload(ServerEndpoint endpoint, const Session &session, DataFolder folder,
                             BarList &bars, SignalList &signals, DownloadEvents &events)
    : m_endpoint(endpoint)
    , m_session(session)
    , m_cache(std::move(folder))
    , m_bars(bars)
    , m_signals(signals)
    , m_events(events)
{}

KLineDownload::~KLineDownload()
{
    abandon();
    waitForThreads();
}

void KLineDownload::abandon()
{
    std::lock_guard lock(m_mutex);
    ++m_generation;
    if (m_current)
        m_current->cancel();
    m_current.reset();
    m_inProgress = false;
}

void KLineDownload::startFresh(std::int32_t productId)
{
    std::vector<KLineBar> cached = m_cache.load(productId);
    const BarKey from = KLineCache::newestKey(cached);
    start(productId, from, BarKey::none(), std::move(cached));
}

bool KLineDownload::pageBack()
{
    if (m_inProgress)
        return false;
    const BarKey to = m_bars.oldestKey();
    BarKey from;
    std::int32_t productId = 0;
    {
        std::lock_guard lock(m_mutex);
        from = m_trailer;
        productId = m_productId;
    }
    if (from == to)
        return false;
    start(productId, from, to, std::nullopt);
    return true;
}

BarKey KLineDownload::trailer() const
{
    std::lock_guard lock(m_mutex);
    return m_trailer;
}

BarKey KLineDownload::requestFrom() const
{
    std::lock_guard lock(m_mutex);
    return m_from;
}

BarKey KLineDownload::requestTo() const
{
    std::lock_guard lock(m_mutex);
    return m_to;
}

std::size_t KLineDownload::cacheListSize() const
{
    std::lock_guard lock(m_mutex);
    return m_cacheList.size();
}

DownloadTimings KLineDownload::lastTimings() const
{
    std::lock_guard lock(m_mutex);
    return m_timings;
}

std::size_t KLineDownload::activeThreads()
{
    std::lock_guard lock(m_workersMutex);
    std::size_t active = 0;
    for (const auto &worker : m_workers)
        active += worker->done ? 0 : 1;
    return active;
}

void KLineDownload::waitForThreads()
{
    std::list<std::unique_ptr<Worker>> workers;
    {
        std::lock_guard lock(m_workersMutex);
        workers.swap(m_workers);
    }
    for (const auto &worker : workers)
        worker->thread.join();
}

void KLineDownload::reapFinished()
{
    std::lock_guard lock(m_workersMutex);
    for (auto it = m_workers.begin(); it != m_workers.end();) {
        if ((*it)->done) {
            (*it)->thread.join();
            it = m_workers.erase(it);
        } else {
            ++it;
        }
    }
}

void KLineDownload::start(std::int32_t productId, const BarKey &from, const BarKey &to,
                          std::optional<std::vector<KLineBar>> cacheList)
{
    reapFinished();
    auto cancel = std::make_shared<CancelToken>();
    Job job{};
    {
        std::lock_guard lock(m_mutex);
        ++m_generation;
        if (m_current)
            m_current->cancel();
        m_current = cancel;
        if (cacheList)
            m_cacheList = std::move(*cacheList);
        m_productId = productId;
        m_from = from;
        m_to = to;
        // Set here rather than by the thread, so a key pressed before it runs sees it.
        m_inProgress = true;
        job = Job{m_generation, productId, from, to};
    }
    ++m_started;
    auto worker = std::make_unique<Worker>();
    Worker *running = worker.get();
    try {
        worker->thread = std::thread([this, running, job, cancel] {
            const CancelToken::Scope cancellable(*cancel);
            run(job);
            running->done = true;
        });
    } catch (const std::system_error &) {
        endFailed(job);
        return;
    }
    std::lock_guard lock(m_workersMutex);
    m_workers.push_back(std::move(worker));
}

void KLineDownload::run(Job job)
{
    DownloadTimings timings;
    const Clock::time_point connecting = Clock::now();
    Socket socket = Socket::connect(m_endpoint.address, m_endpoint.klinePort, kConnectTimeout,
                                    kReceiveTimeout);
    if (!socket.isOpen()) {
        endFailed(job);
        return;
    }
    {
        std::lock_guard lock(m_mutex);
        if (!currentLocked(job))
            return;
    }
    Connection connection(std::move(socket));

    const RequestHeader header = RequestHeader::make(job.productId, m_session);
    char body[2 * sizeof(BarKey)];
    std::memcpy(body, job.from.text, sizeof job.from.text);
    std::memcpy(body + sizeof(BarKey), job.to.text, sizeof job.to.text);
    std::int32_t length = 0;
    if (!connection.sendAll(&header, sizeof header) || !connection.sendAll(body, sizeof body)
        || ReceiveExact(connection, &length, sizeof length) != sizeof length) {
        endFailed(job);
        return;
    }
    timings.waiting = Since(connecting);

    if (length == 0) {
        BarKey trailer;
        const std::size_t got = ReceiveUpTo(connection, trailer.text, sizeof trailer.text);
        connection.close();
        std::lock_guard lock(m_mutex);
        if (currentLocked(job)) {
            std::memcpy(m_trailer.text, trailer.text, got);
            m_current.reset();
            m_inProgress = false;
        }
        return;
    }
    if (length < 0 || length > kMaxArchiveBytes) {
        endFailed(job);
        return;
    }
    std::vector<std::uint8_t> archive(static_cast<std::size_t>(length));
    if (ReceiveExact(connection, archive.data(), archive.size()) != length) {
        endFailed(job);
        return;
    }
    timings.socket = Since(connecting);
    timings.archiveBytes = archive.size();

    const Clock::time_point unpacking = Clock::now();
    const ArchiveEnd end = ReadArchiveRecords(
        archive.data(), archive.size(),
        [this, &job](const std::uint8_t *record) { return takeRecord(job, record); });
    if (end == ArchiveEnd::Stopped)
        return; // stale: the current download owns the flags
    timings.unpack = Since(unpacking);
    std::vector<std::uint8_t>().swap(archive);

    const Clock::time_point trailing = Clock::now();
    BarKey trailer;
    const std::size_t got = ReceiveUpTo(connection, trailer.text, sizeof trailer.text);
    connection.shutdownAndClose();
    timings.socket += Since(trailing);
    finish(job, trailer, got, timings);
}

bool KLineDownload::takeRecord(const Job &job, const std::uint8_t *record)
{
    if (IsSignalRecord(record)) {
        const auto signal = DecodeRecord<SignalRecord>(record);
        {
            std::lock_guard lock(m_mutex);
            if (!currentLocked(job))
                return false;
            m_signals.add(signal);
        }
        m_events.downloadedSignal(signal);
        return true;
    }
    const auto bar = DecodeRecord<KLineBar>(record);
    std::lock_guard lock(m_mutex);
    if (!currentLocked(job))
        return false;
    if (bar.productId == job.productId)
        m_bars.appendBack(bar);
    return true;
}

void KLineDownload::finish(const Job &job, const BarKey &trailer, std::size_t trailerBytes,
                           DownloadTimings timings)
{
    std::string contents;
    bool merged = false;
    {
        std::lock_guard lock(m_mutex);
        if (!currentLocked(job))
            return;
        // A trailer that broke off leaves the rest of the old one, as the bytes arrived.
        std::memcpy(m_trailer.text, trailer.text, trailerBytes);
        const Clock::time_point merging = Clock::now();
        merged = m_bars.mergeCache(m_cacheList);
        if (merged)
            contents = KLineCache::encode(m_bars);
        timings.merge = Since(merging);
        m_timings = timings;
        m_current.reset();
        m_historyLoaded = true;
    }
    m_events.historyReady();

    // The write syncs to disk: the product switch and paging, which take m_mutex on the UI
    // thread, must not wait for it. The download counts as running until the file is written.
    std::chrono::nanoseconds took{0};
    if (merged) {
        std::lock_guard saving(m_saveMutex);
        bool current = false;
        {
            std::lock_guard lock(m_mutex);
            current = currentLocked(job);
        }
        if (current) {
            const Clock::time_point started = Clock::now();
            m_cache.write(job.productId, contents);
            took = Since(started);
        }
    }
    {
        std::lock_guard lock(m_mutex);
        if (!currentLocked(job))
            return;
        m_timings.save = took;
        m_inProgress = false;
    }
    // Outside m_mutex, like the cache write: the log writes to disk too.
    const auto total = std::chrono::duration_cast<std::chrono::milliseconds>(
        timings.socket + timings.unpack + timings.merge + took);
    SupportLog::line("kline", "product=" + std::to_string(job.productId)
                                  + " bars=" + std::to_string(m_bars.size())
                                  + " ms=" + std::to_string(total.count()));
}

void KLineDownload::removeCache(std::int32_t productId)
{
    std::lock_guard saving(m_saveMutex);
    m_cache.remove(productId);
}

void KLineDownload::endFailed(const Job &job)
{
    {
        std::lock_guard lock(m_mutex);
        if (!currentLocked(job))
            return;
        m_current.reset();
        m_inProgress = false;
    }
    const std::string reason = LastSocketErrorText();
    SupportLog::line("kline-failed", "product=" + std::to_string(job.productId)
                                         + (reason.empty() ? "" : " error=" + reason));
}

} // namespace qs
