#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>
#include <string>

namespace qs::ui {

// Keeps the support log told how the run goes: a timer on the UI thread that notices its own
// lateness writes "ui-stall <ms> ms" for every stall over the threshold, and once a period a
// "status" line carries what the status callback reports (the bars and messages held).
class RunWatch final : public QObject {
    Q_OBJECT

public:
    struct Periods {
        std::chrono::milliseconds beat{100};
        std::chrono::milliseconds stallOver{200};
        std::chrono::milliseconds status{60000};
    };
    using Status = std::function<std::string()>;

    explicit RunWatch(QObject *parent = nullptr);
    RunWatch(Periods periods, QObject *parent);

    // Empty text: no status line this period (no main window yet).
    void setStatus(Status status) { m_status = std::move(status); }
    // The longest lateness seen so far, for tests.
    qint64 longestStallMs() const { return m_longest; }

private:
    void beat();
    void writeStatus();

    const Periods m_periods;
    QTimer m_beat;
    QTimer m_statusTimer;
    QElapsedTimer m_sinceBeat;
    qint64 m_longest = 0;
    Status m_status;
};

} // namespace qs::ui
