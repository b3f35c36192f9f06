#pragma once

#include <string>

namespace qs {

enum class MessageIcon { None, Information, Warning, Question };
enum class MessageButtons { Ok, OkCancel, YesNo };
enum class MessageResult { Ok, Cancel, Yes, No };

// What the core asks of the desktop. The core never shows a window or plays a sound itself: the
// UI implements this by posting to its own thread, tests implement it with a recorder.
class DesktopSeam {
public:
    virtual ~DesktopSeam() = default;

    // An empty caption means the application title. Called from a worker thread the box is shown
    // later on the UI thread and the call answers Ok at once.
    virtual MessageResult messageBox(const std::string &text, MessageIcon icon = MessageIcon::None,
                                     MessageButtons buttons = MessageButtons::Ok,
                                     const std::string &caption = {})
        = 0;
    virtual void playSound(int resourceId, bool loop) = 0;
    virtual void stopSound() = 0;
    virtual void openWebPage(const std::string &url) = 0;
    virtual void restartProgram() = 0;
    // A line for the debugger's output window (the client keeps no log file).
    virtual void debugLine(const std::string &line) = 0;
};

} // namespace qs
