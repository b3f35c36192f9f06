// The fixed-size records of the request port, decoded from untrusted bytes: the first byte picks
// the record, the rest are its bytes.
#include "core/platform/AnsiCodec.h"
#include "core/protocol/AccountInfo.h"
#include "core/protocol/AlertInfo.h"
#include "core/protocol/DealInfo.h"
#include "core/protocol/DelegateInfo.h"
#include "core/protocol/HoldInfo.h"
#include "core/protocol/LoginRecords.h"
#include "core/protocol/TypeInfo.h"
#include "core/protocol/WireRecord.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string>

namespace {

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

// A field's text may grow in conversion (a GBK pair becomes up to three UTF-8 bytes, a stray byte
// a three-byte replacement), but never beyond what the field itself holds.
template<std::size_t N>
void CheckText(const char (&)[N], const std::string &text)
{
    Require(text.size() <= 3 * N);
    Require(text.find('\0') == std::string::npos);
}

template<class T, class Inspect>
void Check(std::span<const std::byte> bytes, Inspect inspect)
{
    T record;
    if (!qs::DecodeRecord(bytes, record)) {
        Require(bytes.size() < sizeof(T));
        return;
    }
    unsigned char again[sizeof(T)];
    qs::EncodeRecord(record, again);
    Require(std::memcmp(again, bytes.data(), sizeof(T)) == 0);
    inspect(record);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    const std::span<const std::byte> bytes(reinterpret_cast<const std::byte *>(data + 1), size - 1);
    switch (data[0] % 8) {
    case 0:
        Check<qs::TypeInfo>(bytes, [](const qs::TypeInfo &r) {
            CheckText(r.name, r.nameText());
            CheckText(r.codeText, r.codeTextUtf8());
            CheckText(r.leg1Name, r.leg1NameText());
            CheckText(r.leg2Name, r.leg2NameText());
        });
        break;
    case 1:
        Check<qs::HoldInfo>(bytes, [](const qs::HoldInfo &r) {
            CheckText(r.positionNumber, r.number());
            CheckText(r.productName, r.productNameText());
            CheckText(r.openTime, r.openTimeText());
        });
        break;
    case 2:
        Check<qs::DelegateInfo>(bytes, [](const qs::DelegateInfo &r) {
            CheckText(r.orderNumber, r.number());
            CheckText(r.productName, r.productNameText());
            CheckText(r.relatedPosition, r.relatedPositionText());
            CheckText(r.orderTime, r.orderTimeText());
        });
        break;
    case 3:
        Check<qs::DealInfo>(bytes, [](const qs::DealInfo &r) {
            CheckText(r.dealNumber, r.number());
            CheckText(r.productName, r.productNameText());
            CheckText(r.orderNumber, r.orderNumberText());
            CheckText(r.positionNumber, r.positionNumberText());
            CheckText(r.dealTime, r.dealTimeText());
        });
        break;
    case 4:
        Check<qs::AccountInfo>(
            bytes, [](const qs::AccountInfo &r) { CheckText(r.accountName, r.accountNameText()); });
        break;
    case 5:
        Check<qs::AlertInfo>(bytes, [](const qs::AlertInfo &) {});
        break;
    case 6:
        Check<qs::LoginReply>(bytes, [](const qs::LoginReply &) {});
        break;
    default:
        // The server's side of the login.
        Check<qs::LoginRequest>(bytes, [](const qs::LoginRequest &r) {
            CheckText(r.memberName, qs::ReadAnsiField(r.memberName));
            CheckText(r.password, qs::ReadAnsiField(r.password));
            CheckText(r.code, qs::ReadAnsiField(r.code));
            CheckText(r.adapterAddress, qs::ReadAnsiField(r.adapterAddress));
            CheckText(r.processorId, qs::ReadAnsiField(r.processorId));
        });
        break;
    }
    return 0;
}
