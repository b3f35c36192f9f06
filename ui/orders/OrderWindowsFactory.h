#pragma once

#include "ui/FrameContext.h"
#include "ui/OrderWindows.h"

namespace qs::ui {

// The order dialogs on a copy of the context, for windows outside the order folder.
OrderWindows MakeOrderWindows(const FrameContext &context);

} // namespace qs::ui
