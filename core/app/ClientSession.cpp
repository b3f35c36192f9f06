#include "core/app/ClientSession.h"

#include "core/alerts/AlertQueries.h"
#include "core/app/ClientEvents.h"
#include "core/app/ClientSettings.h"
#include "core/trading/TradingQueries.h"

namespace qs {

ClientSession::ClientSession(const ServerLink &link, DataFolder folder, ClientEvents &events)
    : m_link(link)
    , m_folder(std::move(folder))
    , m_view(link.endpoint(), link.session(), m_folder, m_bars, m_signals, events)
    , m_dispatch(m_trading, m_link, m_view, m_signals, m_messages, m_alerts, events)
    , m_push(m_dispatch)
{}

ClientSession::~ClientSession()
{
    shutdown();
}

void ClientSession::fetchProductsAndAlerts()
{
    FetchProductsAndAlerts(m_link, m_trading, m_alerts);
}

void ClientSession::createView()
{
    m_view.create(m_link.seam());
}

std::int32_t ClientSession::chooseInitialProduct()
{
    const std::int32_t initial = ChooseInitialProduct(m_trading, ClientSettings::read(m_folder));
    m_selection = ProductSelection(initial);
    m_view.setCurrentProduct(initial);
    return initial;
}

void ClientSession::fetchAccount()
{
    FetchAccountAtStart(m_link, m_trading);
}

void ClientSession::dropProductCache()
{
    m_view.download().abandon();
    m_view.download().removeCache(m_view.currentProduct());
}

void ClientSession::openPushChannel()
{
    m_push.open(m_link.endpoint(), m_link.session());
}

void ClientSession::endChannels()
{
    m_push.close();
    m_view.download().abandon();
}

void ClientSession::shutdown()
{
    if (m_shutDown)
        return;
    m_shutDown = true;
    m_dispatch.detach();
    m_push.close();
    m_push.waitForThreads();
    m_view.shutdown();
}

} // namespace qs
