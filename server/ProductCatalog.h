#pragma once

#include "core/protocol/TypeInfo.h"

#include <vector>

namespace qs::server {

inline constexpr int kProductCount = 28;

// The 28 products the demo server offers, as product records with zero prices.
const std::vector<TypeInfo> &ProductRecords();
// The record of one product; a zero record with the id when the id is unknown.
TypeInfo ProductRecord(int productId);
int ProductDigits(int productId);
// Where a product's simulated price starts (real units).
double ProductBasePrice(int productId);

} // namespace qs::server
