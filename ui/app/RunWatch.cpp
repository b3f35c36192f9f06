#include "ui/app/RunWatch.h"

#include "core/platform/SupportLog.h"

namespace qs::ui {

RunWatch::RunWatch(QObject *parent)
    : RunWatch(Periods{}, parent)
{}

RunWatch::RunWatch(Periods periods, QObject *parent)
    : QObject(parent)
    , m_periods(periods)
{
    m_beat.setTimerType(Qt::PreciseTimer);
    m_beat.setInterval(m_periods.beat);
    connect(&m_beat, &QTimer::timeout, this, &RunWatch::beat);
    m_statusTimer.setInterval(m_periods.status);
    connect(&m_statusTimer, &QTimer::timeout, this, &RunWatch::writeStatus);
    m_sinceBeat.start();
    m_beat.start();
    m_statusTimer.start();
}

void RunWatch::beat()
{
    const qint64 late = m_sinceBeat.restart() - m_periods.beat.count();
    if (late <= m_periods.stallOver.count())
        return;
    m_longest = std::max(m_longest, late);
    SupportLog::line("ui-stall", std::to_string(late) + " ms");
}

void RunWatch::writeStatus()
{
    const std::string status = m_status ? m_status() : std::string();
    if (!status.empty())
        SupportLog::line("status", status);
}

} // namespace qs::ui
