#include "core/app/ProductSelection.h"

#include "core/app/ClientSettings.h"
#include "core/market/ProductCatalog.h"
#include "core/platform/DataFolder.h"
#include "core/protocol/TypeInfo.h"
#include "core/protocol/WireRecord.h"
#include "core/trading/TradingData.h"

#include <algorithm>

namespace qs {

ProductMenuPruning PruneProductMenus(const TradingData &data)
{
    ProductMenuPruning pruning;
    int ratiosLeft = 0;
    int instrumentsLeft = 0;
    for (const CatalogueEntry &entry : kCatalogue) {
        const int command = ProductCommandId(entry.productId);
        bool offered = false;
        {
            MutexLock lock(data.kTypeInfoLock);
            offered = std::any_of(data.kTypeInfoList.begin(), data.kTypeInfoList.end(),
                                  [&](const TypeInfo &product) {
                                      // Compared by id: id + 30000 would overflow for a
                                      // hostile id.
                                      return product.productId == entry.productId;
                                  });
        }
        if (!offered)
            pruning.removedCommands.push_back(command);
        else if (entry.productId >= kFirstRatioProduct)
            ++ratiosLeft;
        else
            ++instrumentsLeft;
    }
    pruning.deleteRatioMenu = ratiosLeft == 0;
    pruning.deleteProductMenu = instrumentsLeft == 0;
    return pruning;
}

std::int32_t ChooseInitialProduct(const TradingData &data, const ClientSettings &settings)
{
    std::int32_t productId = 1;
    if (const std::int32_t stored = settings.usableLastProduct(); stored != 0)
        productId = stored;
    TypeInfo record = ZeroRecord<TypeInfo>();
    record.productId = productId;
    data.copyProduct(productId, record);
    if (!record.nameText().empty())
        return productId;
    // Not offered (an unnamed record counts as not offered): the first of the list, else 1.
    MutexLock lock(data.kTypeInfoLock);
    return data.kTypeInfoList.empty() ? 1 : data.kTypeInfoList.front().productId;
}

bool StoreLastProduct(const DataFolder &folder, std::int32_t productId)
{
    ClientSettings settings = ClientSettings::read(folder);
    settings.setLastProduct(productId);
    return settings.write(folder);
}

bool ProductSelection::isChecked(int commandId) const
{
    return commandId == ProductCommandId(m_current);
}

bool ProductSelection::select(std::int32_t productId)
{
    if (productId == m_current)
        return false;
    m_current = productId;
    return true;
}

} // namespace qs
