#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace qs {

inline constexpr int kCatalogueSize = 28;
inline constexpr int kProductCommandBase = 30000;
// Ids 1-19 are single instruments (menu "产品(&K)"), 20-28 ratios of two (menu "套利").
inline constexpr int kFirstRatioProduct = 20;

struct CatalogueEntry {
    std::int32_t productId;
    std::string_view caption;
};

inline constexpr std::array<CatalogueEntry, kCatalogueSize> kCatalogue{{
    {1, "伦敦金(T+0)"},      {2, "伦敦银(T+0)"},      {3, "天通金(T+0)"}, {4, "天通银(T+0)"},
    {5, "上海金(T+0)"},      {6, "上海银(T+0)"},      {7, "欧元/澳元"},   {8, "英镑/瑞郎"},
    {9, "欧元/英镑"},        {10, "瑞郎/日元"},       {11, "加元/日元"},  {12, "澳元/加元"},
    {13, "纽约原油"},        {14, "欧元/美元"},       {15, "美元/日元"},  {16, "美元/瑞郎"},
    {17, "英镑/美元"},       {18, "美元/加元"},       {19, "澳元/美元"},  {20, "黄金/白银(伦敦)"},
    {21, "黄金/白银(天津)"}, {22, "黄金/白银(上海)"}, {23, "黄金/英镑"},  {24, "黄金/日元"},
    {25, "黄金/澳元"},       {26, "白银/欧元"},       {27, "白银/瑞郎"},  {28, "白银/加元"},
}};

constexpr int ProductCommandId(int productId)
{
    return kProductCommandBase + productId;
}

constexpr bool IsProductCommand(int commandId)
{
    return commandId > kProductCommandBase && commandId <= kProductCommandBase + kCatalogueSize;
}

} // namespace qs
