#include "core/app/ProductSelection.h"

#include "core/app/ClientSettings.h"
#include "core/platform/AnsiCodec.h"
#include "core/platform/DataFolder.h"
#include "core/protocol/WireRecord.h"
#include "core/trading/TradingData.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace qs {
namespace {

TypeInfo Offered(std::int32_t id)
{
    TypeInfo product = ZeroRecord<TypeInfo>();
    product.productId = id;
    WriteAnsiField(product.name, "品种" + std::to_string(id));
    return product;
}

void Offer(TradingData &data, std::initializer_list<std::int32_t> ids)
{
    std::vector<TypeInfo> products;
    for (const std::int32_t id : ids)
        products.push_back(Offered(id));
    data.replaceProducts(products);
}

std::vector<int> CommandsExcept(std::initializer_list<int> kept)
{
    std::vector<int> commands;
    for (int command = 30001; command <= 30028; ++command)
        if (std::find(kept.begin(), kept.end(), command) == kept.end())
            commands.push_back(command);
    return commands;
}

TEST(ProductSelection, MenusShrinkToTheServersList)
{
    TradingData data;

    Offer(data, {20, 1});
    ProductMenuPruning pruning = PruneProductMenus(data);
    EXPECT_EQ(pruning.removedCommands, CommandsExcept({30001, 30020}));
    EXPECT_FALSE(pruning.deleteRatioMenu);
    EXPECT_FALSE(pruning.deleteProductMenu);

    Offer(data, {3, 19, 4});
    pruning = PruneProductMenus(data);
    EXPECT_EQ(pruning.removedCommands, CommandsExcept({30003, 30004, 30019}));
    EXPECT_TRUE(pruning.deleteRatioMenu);
    EXPECT_FALSE(pruning.deleteProductMenu);

    // Ids outside the catalogue have no command and keep nothing alive.
    Offer(data, {28, 0, 29, -30000});
    pruning = PruneProductMenus(data);
    EXPECT_EQ(pruning.removedCommands, CommandsExcept({30028}));
    EXPECT_FALSE(pruning.deleteRatioMenu);
    EXPECT_TRUE(pruning.deleteProductMenu);

    Offer(data, {});
    pruning = PruneProductMenus(data);
    EXPECT_EQ(pruning.removedCommands, CommandsExcept({}));
    EXPECT_TRUE(pruning.deleteRatioMenu);
    EXPECT_TRUE(pruning.deleteProductMenu);
}

TEST(ProductSelection, InitialProduct)
{
    TradingData data;
    ClientSettings settings;

    Offer(data, {5, 7, 2});
    settings.setLastProduct(7);
    EXPECT_EQ(ChooseInitialProduct(data, settings), 7);

    // The stored product is no longer offered: the first of the server's list.
    Offer(data, {5, 2});
    EXPECT_EQ(ChooseInitialProduct(data, settings), 5);

    // Stored values outside 1..99 are ignored in favour of 1, when 1 is offered.
    Offer(data, {3, 1});
    for (const std::int32_t stored : {0, 100, -7}) {
        settings.setLastProduct(stored);
        EXPECT_EQ(ChooseInitialProduct(data, settings), 1) << stored;
    }
    settings.setLastProduct(100);
    Offer(data, {3, 4});
    EXPECT_EQ(ChooseInitialProduct(data, settings), 3);

    Offer(data, {});
    settings.setLastProduct(7);
    EXPECT_EQ(ChooseInitialProduct(data, settings), 1);
}

TEST(ProductSelection, OnlyANewProductChangesTheSelectionAndTheSettingsFile)
{
    ProductSelection selection(3);
    EXPECT_TRUE(selection.isChecked(30003));
    EXPECT_FALSE(selection.isChecked(30004));
    EXPECT_FALSE(selection.select(3));
    EXPECT_EQ(selection.current(), 3);
    EXPECT_TRUE(selection.select(12));
    EXPECT_EQ(selection.current(), 12);
    EXPECT_TRUE(selection.isChecked(30012));
    EXPECT_FALSE(selection.isChecked(30003));

    // The rest of the settings file stays: ClientSettings' writer test.
    test::TempFolder folder;
    const DataFolder data(folder.path());
    ASSERT_TRUE(StoreLastProduct(data, 12));
    EXPECT_EQ(ClientSettings::read(data).lastProduct(), 12);
}

} // namespace
} // namespace qs
