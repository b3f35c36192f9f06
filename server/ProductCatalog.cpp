#include "server/ProductCatalog.h"

#include "core/platform/AnsiCodec.h"
#include "core/protocol/WireRecord.h"

#include <array>

namespace qs::server {

namespace {

// Unit kinds of the product record.
constexpr int kGrams = 1;
constexpr int kOunces = 2;
constexpr int kKilograms = 3;
constexpr int kCurrencyUnits = 5;
constexpr int kBarrels = 6;

// Commission, margin and deferral: 1 reads the value as a proportion, anything else per lot.
constexpr int kProportional = 1;
constexpr int kPerLot = 2;
// Commission charging: 1 only when opening, anything else on both sides.
constexpr int kSingleSide = 1;
constexpr int kBothSides = 2;

struct Lots {
    float minimum;
    int maximum;
    int decimals;
    float step; // in units of 10^-decimals lots
    int maxPosition;
};

struct Charges {
    int commissionMethod;
    float commission; // proportion x 10000, or money per lot
    int charging;
    int marginMethod;
    float margin;   // percent, or money per lot
    float deferral; // rate x 100000, or money per lot (read by the margin method)
};

struct Terms {
    int id;
    const char *name;
    const char *code;
    int digits;
    double basePrice;
    float pointValue; // money per price step (10^-digits) and lot
    int unitAmount;
    int unitKind;
    Lots lots;
    Charges charges;
    float askSpread;
    float bidSpread;
    float limitDistance;
    float stopDistance;
    // Ratio products carry their two legs and are quoted for signals only.
    const char *leg1 = nullptr;
    const char *leg2 = nullptr;
};

constexpr Lots kTenthLots{0.1f, 50, 1, 1.0f, 200};
constexpr Lots kWholeLots{1.0f, 100, 0, 1.0f, 300};
constexpr Lots kCurrencyLots{0.1f, 20, 2, 10.0f, 100};
constexpr Lots kRatioLots{1.0f, 10, 0, 1.0f, 50};

constexpr Charges kLondonCharges{kProportional, 8.0f, kBothSides, kProportional, 5.0f, 20.0f};
constexpr Charges kGramCharges{kPerLot, 60.0f, kSingleSide, kPerLot, 28000.0f, 70.0f};
constexpr Charges kKiloCharges{kProportional, 8.0f, kSingleSide, kProportional, 8.0f, 25.0f};
constexpr Charges kCurrencyCharges{kPerLot, 30.0f, kBothSides, kPerLot, 1000.0f, 5.0f};
constexpr Charges kRatioCharges{kPerLot, 0.0f, kBothSides, kPerLot, 10000.0f, 0.0f};

// Prices near the levels of the service's early years; spreads and distances in price units.
const std::array<Terms, kProductCount> kTerms{{
    {1, "伦敦金", "XAUUSD", 2, 1765.30, 1.0f, 100, kOunces, kTenthLots, kLondonCharges, 0.30f,
     0.20f, 2.0f, 3.0f},
    {2, "伦敦银", "XAGUSD", 3, 33.650, 5.0f, 5000, kOunces, kTenthLots, kLondonCharges, 0.030f,
     0.020f, 0.10f, 0.15f},
    {3, "天通金", "TJAU", 2, 352.50, 10.0f, 1000, kGrams, kWholeLots, kGramCharges, 0.40f, 0.40f,
     1.0f, 1.5f},
    {4, "天通银", "TJAG", 0, 7050, 15.0f, 15, kKilograms, kWholeLots, kKiloCharges, 8.0f, 7.0f,
     20.0f, 30.0f},
    {5, "上海金", "SHAU", 2, 350.80, 10.0f, 1000, kGrams, kWholeLots, kGramCharges, 0.40f, 0.40f,
     1.0f, 1.5f},
    {6, "上海银", "SHAG", 0, 6980, 1.0f, 1, kKilograms, kWholeLots, kKiloCharges, 8.0f, 7.0f, 20.0f,
     30.0f},
    {7, "欧元/澳元", "EURAUD", 4, 1.2650, 10.0f, 100000, kCurrencyUnits, kCurrencyLots,
     kCurrencyCharges, 0.0003f, 0.0002f, 0.0020f, 0.0030f},
    {8, "英镑/瑞郎", "GBPCHF", 4, 1.4820, 10.0f, 100000, kCurrencyUnits, kCurrencyLots,
     kCurrencyCharges, 0.0003f, 0.0003f, 0.0020f, 0.0030f},
    {9, "欧元/英镑", "EURGBP", 4, 0.8120, 10.0f, 100000, kCurrencyUnits, kCurrencyLots,
     kCurrencyCharges, 0.0002f, 0.0002f, 0.0020f, 0.0030f},
    {10, "瑞郎/日元", "CHFJPY", 2, 84.60, 10.0f, 100000, kCurrencyUnits, kCurrencyLots,
     kCurrencyCharges, 0.03f, 0.03f, 0.20f, 0.30f},
    {11, "加元/日元", "CADJPY", 2, 78.90, 10.0f, 100000, kCurrencyUnits, kCurrencyLots,
     kCurrencyCharges, 0.03f, 0.03f, 0.20f, 0.30f},
    {12, "澳元/加元", "AUDCAD", 4, 1.0350, 10.0f, 100000, kCurrencyUnits, kCurrencyLots,
     kCurrencyCharges, 0.0003f, 0.0002f, 0.0020f, 0.0030f},
    {13, "纽约原油", "CL", 2, 95.40, 10.0f, 1000, kBarrels, kTenthLots, kLondonCharges, 0.03f,
     0.02f, 0.20f, 0.30f},
    {14, "欧元/美元", "EURUSD", 4, 1.3080, 10.0f, 100000, kCurrencyUnits, kCurrencyLots,
     kCurrencyCharges, 0.0002f, 0.0001f, 0.0020f, 0.0030f},
    {15, "美元/日元", "USDJPY", 2, 78.30, 10.0f, 100000, kCurrencyUnits, kCurrencyLots,
     kCurrencyCharges, 0.02f, 0.02f, 0.20f, 0.30f},
    {16, "美元/瑞郎", "USDCHF", 4, 0.9260, 10.0f, 100000, kCurrencyUnits, kCurrencyLots,
     kCurrencyCharges, 0.0002f, 0.0002f, 0.0020f, 0.0030f},
    {17, "英镑/美元", "GBPUSD", 4, 1.5720, 10.0f, 100000, kCurrencyUnits, kCurrencyLots,
     kCurrencyCharges, 0.0002f, 0.0002f, 0.0020f, 0.0030f},
    {18, "美元/加元", "USDCAD", 4, 0.9980, 10.0f, 100000, kCurrencyUnits, kCurrencyLots,
     kCurrencyCharges, 0.0003f, 0.0002f, 0.0020f, 0.0030f},
    {19, "澳元/美元", "AUDUSD", 4, 1.0410, 10.0f, 100000, kCurrencyUnits, kCurrencyLots,
     kCurrencyCharges, 0.0002f, 0.0002f, 0.0020f, 0.0030f},
    {20, "黄金/白银(伦敦)", "XAU/XAG", 2, 52.45, 1.0f, 1, kOunces, kRatioLots, kRatioCharges, 0.05f,
     0.05f, 0.20f, 0.30f, "黄金", "白银"},
    {21, "黄金/白银(天津)", "TJAU/TJAG", 2, 50.00, 1.0f, 1, kGrams, kRatioLots, kRatioCharges,
     0.05f, 0.05f, 0.20f, 0.30f, "黄金", "白银"},
    {22, "黄金/白银(上海)", "SHAU/SHAG", 2, 50.26, 1.0f, 1, kGrams, kRatioLots, kRatioCharges,
     0.05f, 0.05f, 0.20f, 0.30f, "黄金", "白银"},
    {23, "黄金/英镑", "XAUGBP", 2, 1122.90, 1.0f, 100, kOunces, kRatioLots, kRatioCharges, 0.30f,
     0.30f, 2.0f, 3.0f, "黄金", "英镑"},
    {24, "黄金/日元", "XAUJPY", 0, 138220, 1.0f, 100, kOunces, kRatioLots, kRatioCharges, 30.0f,
     30.0f, 200.0f, 300.0f, "黄金", "日元"},
    {25, "黄金/澳元", "XAUAUD", 2, 1695.80, 1.0f, 100, kOunces, kRatioLots, kRatioCharges, 0.30f,
     0.30f, 2.0f, 3.0f, "黄金", "澳元"},
    {26, "白银/欧元", "XAGEUR", 3, 25.730, 5.0f, 5000, kOunces, kRatioLots, kRatioCharges, 0.030f,
     0.030f, 0.10f, 0.15f, "白银", "欧元"},
    {27, "白银/瑞郎", "XAGCHF", 3, 31.160, 5.0f, 5000, kOunces, kRatioLots, kRatioCharges, 0.030f,
     0.030f, 0.10f, 0.15f, "白银", "瑞郎"},
    {28, "白银/加元", "XAGCAD", 3, 33.580, 5.0f, 5000, kOunces, kRatioLots, kRatioCharges, 0.030f,
     0.030f, 0.10f, 0.15f, "白银", "加元"},
}};

const Terms *FindTerms(int productId)
{
    if (productId < 1 || productId > kProductCount)
        return nullptr;
    return &kTerms[static_cast<std::size_t>(productId - 1)];
}

TypeInfo MakeRecord(const Terms &terms)
{
    TypeInfo record = ZeroRecord<TypeInfo>();
    record.productId = terms.id;
    record.digits = terms.digits;
    record.pointValue = terms.pointValue;
    WriteAnsiField(record.name, terms.name);
    WriteAnsiField(record.codeText, terms.code);
    record.unitAmount = terms.unitAmount;
    record.unitKind = terms.unitKind;
    record.minLots = terms.lots.minimum;
    record.maxLots = terms.lots.maximum;
    record.lotDecimals = terms.lots.decimals;
    record.lotStep = terms.lots.step;
    record.maxPosition = terms.lots.maxPosition;
    record.commissionMethod = terms.charges.commissionMethod;
    record.commissionValue = terms.charges.commission;
    record.commissionCharging = terms.charges.charging;
    record.marginMethod = terms.charges.marginMethod;
    record.marginValue = terms.charges.margin;
    record.deferralValue = terms.charges.deferral;
    record.askSpread = terms.askSpread;
    record.bidSpread = terms.bidSpread;
    record.limitDistance = terms.limitDistance;
    record.stopDistance = terms.stopDistance;
    const bool ratio = terms.leg1 != nullptr;
    record.tradable = ratio ? 0 : 1;
    record.singleInstrument = ratio ? 0 : 1;
    if (ratio) {
        WriteAnsiField(record.leg1Name, terms.leg1);
        WriteAnsiField(record.leg2Name, terms.leg2);
    }
    return record;
}

} // namespace

const std::vector<TypeInfo> &ProductRecords()
{
    static const std::vector<TypeInfo> records = [] {
        std::vector<TypeInfo> all;
        all.reserve(kTerms.size());
        for (const Terms &terms : kTerms)
            all.push_back(MakeRecord(terms));
        return all;
    }();
    return records;
}

TypeInfo ProductRecord(int productId)
{
    if (FindTerms(productId) == nullptr) {
        TypeInfo record = ZeroRecord<TypeInfo>();
        record.productId = productId;
        return record;
    }
    return ProductRecords()[static_cast<std::size_t>(productId - 1)];
}

int ProductDigits(int productId)
{
    const Terms *terms = FindTerms(productId);
    return terms == nullptr ? 0 : terms->digits;
}

double ProductBasePrice(int productId)
{
    const Terms *terms = FindTerms(productId);
    return terms == nullptr ? 0.0 : terms->basePrice;
}

} // namespace qs::server
