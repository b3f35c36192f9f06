#pragma once

#include "core/chart/ArchiveReader.h"
#include "core/chart/KLineCache.h"
#include "core/platform/CancelToken.h"
#include "core/platform/Socket.h"
#include "core/protocol/KLineBar.h"
#include "core/protocol/Session.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace qs {

class BarList;
class SignalList;
struct SignalRecord;

// What a download tells the rest of the client. Called on the download thread, never with a
// lock of the download held; an implementation posts and does not wait for the UI thread.
class DownloadEvents {
public:
    virtual ~DownloadEvents() = default;
    // A signal of the download went into the signal list (blink upkeep, direction +1).
    virtual void downloadedSignal(const SignalRecord &signal) = 0;
    // The download completed: lay the chart out again and repaint it.
    virtual void historyReady() = 0;
};

// Where the time of the last completed download went.
struct DownloadTimings {
    std::chrono::nanoseconds socket{0};  // connect, request, archive and trailer
    std::chrono::nanoseconds waiting{0}; // of socket: until the reply length arrived
    std::chrono::nanoseconds unpack{0};  // unzip and the records into the lists
    std::chrono::nanoseconds merge{0};
    std::chrono::nanoseconds save{0};
    std::size_t archiveBytes = 0;
};

// The client view's K-line download state: request keys, reply trailer, the cache list, the
// history-loaded and download-in-progress flags, and one thread per download on port 2262.
//
// Every download carries a generation number. Starting a download or abandoning one makes the
// running one stale: a stale thread appends nothing, and skips the merge, the cache save, the
// relayout and the flags. The check and what it guards happen under one lock, which the UI
// thread takes to move the generation on before it resets the lists.
class KLineDownload {
public:
    static constexpr std::int32_t kMaxArchiveBytes = 64 << 20;

    KLineDownload(ServerEndpoint endpoint, const Session &session, DataFolder folder, BarList &bars,
                  SignalList &signals, DownloadEvents &events);
    // Abandons the running download and waits for every download thread.
    ~KLineDownload();
    KLineDownload(const KLineDownload &) = delete;
    KLineDownload &operator=(const KLineDownload &) = delete;

    // Makes the running download stale and wakes its blocked receive; its thread closes its own
    // socket.
    void abandon();
    // "重新初始化": the product's cache file goes; a download still writing waits for it.
    void removeCache(std::int32_t productId);
    // Loads the product's cache list, asks from its newest bar ("0" if none) to "0", and starts.
    void startFresh(std::int32_t productId);
    // Paging into older history: only while no download runs, and only when the trailer of the
    // last reply differs from the oldest bar's key. True when a download started.
    bool pageBack();

    bool inProgress() const { return m_inProgress.load(); }
    bool historyLoaded() const { return m_historyLoaded.load(); }
    void clearHistoryLoaded() { m_historyLoaded = false; }

    BarKey trailer() const;
    BarKey requestFrom() const;
    BarKey requestTo() const;
    std::size_t cacheListSize() const;
    int downloadsStarted() const { return m_started.load(); }
    DownloadTimings lastTimings() const;

    // Download threads that have not yet ended.
    std::size_t activeThreads();
    // Waits until every download thread has ended (tests, the bench, shutdown).
    void waitForThreads();

private:
    struct Job {
        std::uint64_t generation;
        std::int32_t productId;
        BarKey from;
        BarKey to;
    };
    struct Worker;

    // A new generation: the running download goes stale, the keys and the cache list are set.
    void start(std::int32_t productId, const BarKey &from, const BarKey &to,
               std::optional<std::vector<KLineBar>> cacheList);
    void run(Job job);
    // The record check: under m_mutex, only while the job is current.
    bool takeRecord(const Job &job, const std::uint8_t *record);
    void finish(const Job &job, const BarKey &trailer, std::size_t trailerBytes,
                DownloadTimings timings);
    void endFailed(const Job &job);
    bool currentLocked(const Job &job) const { return job.generation == m_generation; }
    void reapFinished();

    const ServerEndpoint m_endpoint;
    const Session &m_session;
    const KLineCache m_cache;
    BarList &m_bars;
    SignalList &m_signals;
    DownloadEvents &m_events;

    mutable std::mutex m_mutex;
    // Held while a finished download writes the cache file, and while the cache file is removed,
    // so an abandoned download's late write can never bring back a removed file.
    std::mutex m_saveMutex;
    std::uint64_t m_generation = 0;
    std::int32_t m_productId = 0;
    BarKey m_from;
    BarKey m_to;
    BarKey m_trailer;
    std::vector<KLineBar> m_cacheList;
    // The running download's: abandoning it wakes its connect or receive.
    std::shared_ptr<CancelToken> m_current;
    DownloadTimings m_timings;

    std::atomic<bool> m_inProgress{false};
    std::atomic<bool> m_historyLoaded{false};
    std::atomic<int> m_started{0};

    std::mutex m_workersMutex;
    std::list<std::unique_ptr<Worker>> m_workers;
};

} // namespace qs
