#pragma once

namespace qs::ui {

// The frame offers each command to the feature routers in turn, then handles its own.
class CommandRouter {
public:
    virtual ~CommandRouter() = default;
    // True when the command belongs to this router.
    virtual bool route(int commandId) = 0;
};

} // namespace qs::ui
