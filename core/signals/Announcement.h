#pragma once

#include "core/protocol/SignalRecord.h"
#include "core/protocol/TypeInfo.h"

#include <string>

namespace qs {

// The message-list text of a new signal, in UTF-8, built in two formatting stages: the first
// pastes the product name (with every '%' doubled, so the second stage prints it as it is) and
// the product's digits into the second stage's format. Empty when the product has no name
// (not in the product list).
std::string AnnouncementText(const SignalRecord &signal, const TypeInfo &product);

} // namespace qs
