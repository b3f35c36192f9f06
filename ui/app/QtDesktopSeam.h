#pragma once

#include "core/platform/DesktopSeam.h"

#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>

#include <functional>
#include <map>
#include <memory>

class QSoundEffect;
class QWidget;

namespace qs::ui {

// The desktop seam on Qt. Calls from worker threads are posted to the UI thread with copies of
// their data; a message box asked for from a worker is shown once while one with the same text
// is open.
class QtDesktopSeam final : public QObject, public DesktopSeam {
    Q_OBJECT

public:
    explicit QtDesktopSeam(QObject *parent = nullptr);
    ~QtDesktopSeam() override;

    // The window that owns message boxes (the login dialog, later the main frame).
    void setOwnerWindow(QWidget *owner);
    void setRestartHandler(std::function<void()> handler);

    MessageResult messageBox(const std::string &text, MessageIcon icon, MessageButtons buttons,
                             const std::string &caption) override;
    void playSound(int resourceId, bool loop) override;
    void stopSound() override;
    void openWebPage(const std::string &url) override;
    void restartProgram() override;
    void debugLine(const std::string &line) override;

private:
    bool onUiThread() const;
    MessageResult showMessageBox(const QString &text, MessageIcon icon, MessageButtons buttons,
                                 const QString &caption);
    void playOnUiThread(int resourceId, bool loop);
    void stopOnUiThread();

    QPointer<QWidget> m_owner;
    std::function<void()> m_restartHandler;
    QSet<QString> m_postedBoxesOpen;
    std::map<int, std::unique_ptr<QSoundEffect>> m_sounds;
    QSoundEffect *m_playing = nullptr;
};

} // namespace qs::ui
