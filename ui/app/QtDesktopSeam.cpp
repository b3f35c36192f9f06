#include "ui/app/QtDesktopSeam.h"

#include "ui/app/ClientEventPoster.h"

#include "core/platform/CancelToken.h"
#include "ui/widgets/WaitCursor.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QSoundEffect>
#include <QThread>
#include <QUrl>
#include <QWidget>

#include <cstdio>

namespace qs::ui {

namespace {
QMessageBox::Icon ToQtIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}
} // namespace

QtDesktopSeam::QtDesktopSeam(QObject *parent)
    : QObject(parent)
{}

QtDesktopSeam::~QtDesktopSeam() = default;

void QtDesktopSeam::setOwnerWindow(QWidget *owner)
{
    m_owner = owner;
}

void QtDesktopSeam::setRestartHandler(std::function<void()> handler)
{
    m_restartHandler = std::move(handler);
}

bool QtDesktopSeam::onUiThread() const
{
    return QThread::currentThread() == thread();
}

MessageResult QtDesktopSeam::messageBox(const std::string &text, MessageIcon icon,
                                        MessageButtons buttons, const std::string &caption)
{
    // A worker whose channel or download was given up (or the program is ending) has nothing
    // left to tell the member.
    if (CancelToken::currentCancelled())
        return MessageResult::Ok;
    const QString qtext = QString::fromStdString(text);
    const QString qcaption = QString::fromStdString(caption);
    if (onUiThread())
        return showMessageBox(qtext, icon, buttons, qcaption);
    PostToUiThread(this, [this, qtext, icon, buttons, qcaption] {
        // A dead server must not stack one box per tick.
        if (m_postedBoxesOpen.contains(qtext))
            return;
        m_postedBoxesOpen.insert(qtext);
        showMessageBox(qtext, icon, buttons, qcaption);
        m_postedBoxesOpen.remove(qtext);
    });
    return MessageResult::Ok;
}

MessageResult QtDesktopSeam::showMessageBox(const QString &text, MessageIcon icon,
                                            MessageButtons buttons, const QString &caption)
{
    QMessageBox box(ToQtIcon(icon), caption.isEmpty() ? QApplication::applicationName() : caption,
                    text, QMessageBox::NoButton,
                    m_owner ? m_owner.data() : QApplication::activeWindow());
    switch (buttons) {
    case MessageButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MessageButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case MessageButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    }
    const NormalCursor normal;
    switch (box.exec()) {
    case QMessageBox::Cancel:
        return MessageResult::Cancel;
    case QMessageBox::Yes:
        return MessageResult::Yes;
    case QMessageBox::No:
        return MessageResult::No;
    default:
        return buttons == MessageButtons::OkCancel && box.clickedButton() == nullptr
                   ? MessageResult::Cancel
                   : MessageResult::Ok;
    }
}

void QtDesktopSeam::playSound(int resourceId, bool loop)
{
    if (onUiThread()) {
        playOnUiThread(resourceId, loop);
        return;
    }
    PostToUiThread(this, [this, resourceId, loop] { playOnUiThread(resourceId, loop); });
}

void QtDesktopSeam::playOnUiThread(int resourceId, bool loop)
{
    auto &effect = m_sounds[resourceId];
    if (!effect) {
        effect = std::make_unique<QSoundEffect>();
        effect->setSource(QUrl(QStringLiteral("qrc:/sounds/%1.wav").arg(resourceId)));
    }
    if (m_playing != nullptr && m_playing != effect.get())
        m_playing->stop();
    effect->stop();
    effect->setLoopCount(loop ? QSoundEffect::Infinite : 1);
    effect->play();
    m_playing = effect.get();
}

void QtDesktopSeam::stopSound()
{
    if (onUiThread()) {
        stopOnUiThread();
        return;
    }
    PostToUiThread(this, [this] { stopOnUiThread(); });
}

void QtDesktopSeam::stopOnUiThread()
{
    if (m_playing != nullptr)
        m_playing->stop();
    m_playing = nullptr;
}

void QtDesktopSeam::openWebPage(const std::string &url)
{
    const QUrl target(QString::fromStdString(url));
    if (onUiThread()) {
        QDesktopServices::openUrl(target);
        return;
    }
    PostToUiThread(this, [target] { QDesktopServices::openUrl(target); });
}

void QtDesktopSeam::restartProgram()
{
    PostToUiThread(this, [this] {
        if (m_restartHandler)
            m_restartHandler();
    });
}

void QtDesktopSeam::debugLine(const std::string &line)
{
    std::fprintf(stderr, "%s\n", line.c_str());
}

} // namespace qs::ui
