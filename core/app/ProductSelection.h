#pragma once

#include <cstdint>
#include <vector>

namespace qs {

class ClientSettings;
class DataFolder;
struct TradingData;

// How the product menus shrink to the server's list, once, when the main frame is created.
struct ProductMenuPruning {
    // Commands 30001..30028 whose product the server does not offer, ascending: hide the toolbar
    // button and delete the menu item.
    std::vector<int> removedCommands;
    // Delete the "套利" popup (menu position 2) first, then "产品(&K)" (position 1), so the first
    // deletion does not shift the second.
    bool deleteRatioMenu = false;
    bool deleteProductMenu = false;
};
ProductMenuPruning PruneProductMenus(const TradingData &data);

// The product the main frame starts on: the settings file's last product when it lies in 1..99
// and the server offers it, else the first product of the server's list, else 1.
std::int32_t ChooseInitialProduct(const TradingData &data, const ClientSettings &settings);

// Writes a changed current product into the settings file, keeping every other field.
bool StoreLastProduct(const DataFolder &folder, std::int32_t productId);

// The main frame's current product, which drives the check marks of the product commands.
class ProductSelection {
public:
    explicit ProductSelection(std::int32_t productId = 1)
        : m_current(productId)
    {}

    std::int32_t current() const { return m_current; }
    // The menu item or toolbar button of this command carries a check mark.
    bool isChecked(int commandId) const;
    // False when productId is already current: nothing is to be done, no restart, no write.
    // Otherwise it becomes current and the caller runs the view's change of product.
    bool select(std::int32_t productId);

private:
    std::int32_t m_current;
};

} // namespace qs
