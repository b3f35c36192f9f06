#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QLocalServer;

namespace qs::ui {

// The name one OS user's instances share. Local socket names are machine-wide, so without the user
// id a second user's start would meet the first user's instance and run unguarded.
QString InstanceNameFor(const QString &userId);
// InstanceNameFor the user running this process.
QString DefaultInstanceName();

// One running client per user: the first instance listens on a local socket; a later start asks
// it to show and raise its top window and then ends.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    explicit SingleInstance(QString name = DefaultInstanceName(), QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when another instance listens on the name; it was asked to raise its window, which a
    // busy one does once its event loop runs again.
    bool askRunningInstance();
    // Becomes the running instance; raise is called whenever a later start asks. False when a
    // live instance holds the name or it can be neither reached nor taken (see claimFailure); a
    // crashed instance's leftover is taken over.
    bool claim(std::function<void()> raise);
    // Why the last claim failed.
    QString claimFailure() const { return m_claimFailure; }
    // Gives up the name so that a restarted instance can claim it.
    void release();

private:
    QString m_name;
    QLocalServer *m_server = nullptr;
    std::function<void()> m_raise;
    QString m_claimFailure;
};

} // namespace qs::ui
