#include "core/app/ClientViewState.h"

#include "core/app/ClientSettings.h"
#include "core/market/SignalList.h"
#include "core/protocol/ServerLink.h"

namespace qs {

ClientViewState::ClientViewState(const ServerEndpoint &endpoint, const Session &session,
                                 DataFolder folder, BarList &bars, SignalList &signals,
                                 DownloadEvents &events)
    : m_endpoint(endpoint)
    , m_session(session)
    , m_folder(folder)
    , m_cache(folder)
    , m_bars(bars)
    , m_signals(signals)
    , m_download(endpoint, session, folder, bars, signals, events)
{}

void ClientViewState::create(DesktopSeam &seam)
{
    m_flags.setAll(1);
    const ClientSettings settings = ClientSettings::read(m_folder);
    m_flags.readFromServer(ServerLink(m_endpoint, m_session, seam));
    if (const std::int32_t last = settings.usableLastProduct(); last != 0)
        m_product = last;
}

void ClientViewState::changeProduct(std::int32_t productId)
{
    m_product = productId;
    ClientSettings settings = ClientSettings::read(m_folder);
    settings.setLastProduct(productId);
    settings.write(m_folder);
}

void ClientViewState::restart()
{
    m_download.abandon();
    m_download.clearHistoryLoaded();
    m_bars.clear();
    m_signals.clear();
    m_download.startFresh(m_product);
}

void ClientViewState::reinitialize()
{
    m_download.abandon();
    m_download.removeCache(m_product);
    restart();
}

PushedBarChange ClientViewState::applyPushedBar(const KLineBar &bar)
{
    return m_bars.applyPushed(bar, m_product, m_download.historyLoaded());
}

void ClientViewState::shutdown()
{
    m_download.abandon();
    m_download.waitForThreads();
}

} // namespace qs
