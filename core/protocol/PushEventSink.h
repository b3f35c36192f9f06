#pragma once

#include "core/protocol/KLineBar.h"
#include "core/protocol/SignalRecord.h"

#include <string>

namespace qs {

// Where the push thread hands each event. Every call runs on the push thread: an implementation
// posts what windows must do and never waits for the UI thread.
class PushEventSink {
public:
    virtual ~PushEventSink() = default;

    // The channel's connection is made, before its subscription is sent.
    virtual void onConnected() {}
    virtual void onBarRecord(const KLineBar &bar) = 0;
    virtual void onSignalRecord(const SignalRecord &signal) = 0;
    // A server message, converted from the wire's ANSI text; may be empty.
    virtual void onMessage(const std::string &utf8) = 0;
    virtual void onHeartbeat() = 0;
    // Type -1: the server ended the session; the channel must not be reconnected.
    virtual void onSessionClosed() = 0;
    // Type 5: the member logged in elsewhere.
    virtual void onKickedOff() = 0;
};

} // namespace qs
