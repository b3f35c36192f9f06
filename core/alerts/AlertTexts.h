#pragma once

#include "core/protocol/AlertInfo.h"
#include "core/protocol/TypeInfo.h"

#include <string>

namespace qs {

// Texts of an alert in UTF-8, each built in two formatting stages: the first pastes the product
// name (every '%' doubled, so it prints as it is), the condition and the product's digits into
// the format that the second stage fills with the alert's price.

// A row of the alert dialog: "产品【伦敦金】价格>=1250.50时提醒".
std::string AlertRowText(const AlertInfo &alert, const TypeInfo &product);
// The message of a reached alert: "产品伦敦金价格预警：>=1250.50已到达".
std::string AlertAnnouncement(const AlertInfo &alert, const TypeInfo &product);

} // namespace qs
