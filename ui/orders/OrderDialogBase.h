#pragma once

#include "core/orders/CloseForms.h"
#include "core/orders/OpenOrderForms.h"
#include "core/orders/OrderRefetch.h"
#include "core/orders/OrderResults.h"
#include "core/protocol/KLineBar.h"
#include "core/protocol/TypeInfo.h"
#include "core/protocol/WireRecord.h"
#include "ui/FrameContext.h"
#include "ui/TradingNotices.h"

#include <QDialog>
#include <QRgb>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QAbstractButton;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace qs {
class Connection;
}

namespace qs::ui {

class CPriceStatic;

inline constexpr QRgb kBuyColour = 0xFFD90A36;  // red
inline constexpr QRgb kSellColour = 0xFF4A3AAD; // blue

// What every order dialog shares: the product copy kept fresh by the price-tick notices, price
// labels, the key policy, and the submit path (rules, then one exchange, then the result text).
//
// Keys: no button is ever a default button. Enter submits only while the focus is on a submit
// button, and otherwise does nothing: it never ends the dialog and never changes a field (an
// Enter that ended the dialog would read as success to the opener). Escape and the close box
// cancel.
class OrderDialogBase : public QDialog, public NoticeReceiver {
    Q_OBJECT

public:
    OrderDialogBase(const FrameContext &context, OrderDialog kind, std::int32_t productId,
                    QWidget *parent);

    std::int32_t productId() const { return m_product.productId; }
    const TypeInfo &product() const { return m_product; }

protected:
    // Copies the product's record under kTypeInfoLock; false, with the copy as it was, when the
    // list lacks it (a dialog opened on such a product keeps a zeroed copy: bounds all 0).
    bool takeProduct(std::int32_t productId);
    QString priceText(double value) const;

    // A live price or a bound ("label<id>"), named for screen readers as its caption reads.
    CPriceStatic *makePriceLabel(int controlId, QRgb colour, const QString &accessibleName);
    QPushButton *makeButton(int controlId, const QString &text);
    // A read-only field ("edit<id>") showing a record's value.
    QLineEdit *makeReadOnly(int controlId, const QString &accessibleName, const QString &text);
    // A hint text ("label<id>") beside a bound.
    QLabel *makeHint(int controlId, const QString &text);
    void addSubmitButton(QAbstractButton *button);
    // A local refusal or a server's answer, in a message box.
    void showText(const std::string &text);

    struct Outcome {
        bool sent = false;     // connected and both sends went out
        bool complete = false; // the whole reply arrived
    };
    // One exchange on a connection of its own. A failed connection or send has shown its
    // message. What arrives of the reply stays in reply (zero-filled before). Submit buttons are
    // disabled and the wait cursor shows while it runs.
    template<WireRecord Body, WireRecord Reply>
    Outcome exchange(std::int32_t command, const Body &body, Reply &reply)
    {
        reply = ZeroRecord<Reply>();
        return exchangeBytes(command, &body, sizeof body, &reply, sizeof reply);
    }
    // The same without zero-filling: bytes that do not arrive keep what reply held. whileOpen
    // runs after the reply, on the still open connection, told whether the reply came whole.
    using WhileOpen = std::function<void(Connection &, bool complete)>;
    Outcome exchangeBytes(std::int32_t command, const void *body, std::size_t size, void *reply,
                          std::size_t replySize, const WhileOpen &whileOpen = {});
    // The result code of a reply that came in part is assembled from the bytes that came. On a
    // whole reply with code 1, onSuccess runs on the request's own connection before it closes
    // (the re-fetches that share it).
    Outcome exchangeForCode(std::int32_t command, const void *body, std::size_t size,
                            std::int32_t &code,
                            const std::function<void(Connection &)> &onSuccess = {});
    // A change whose code 1 is success (market close, order change). On success `what` is
    // fetched again on the request's own connection (on a new one when the reply broke off
    // after its code), the figures are recomputed, the chart lays out, open windows hear 1033,
    // sound 190 plays and the dialog ends with successResult. Any other code shows its text; an
    // incomplete reply fetches again all the same, since the server may have carried the change
    // out.
    void submitChange(std::int32_t command, const void *body, std::size_t size, Refetch what,
                      int successResult);
    // An open order (command 11): the form's refusal, or its body sent; code 1 ends the dialog
    // with successResult and leaves the re-fetch to the opener; any other code shows its text,
    // and an incomplete reply fetches `afterIncomplete` again here.
    void submitOpen(const OrderForm &form, Refetch afterIncomplete, int successResult);
    // The read-only rows of a position in columns 0-3: product and side, stop-loss and
    // take-profit, then the lots with their caption at the start of row 2.
    void addPositionFields(QGridLayout &grid, const PositionTexts &texts,
                           const QString &lotsCaption, const std::string &lotsText);
    // After a reply that did not come whole the server may have carried the order out: fetch
    // again what it would have changed, as after success, so the lists and the chart show it.
    void refetchAfterIncomplete(Refetch what);

    // A tick of this dialog's product arrived (the copy is fresh unless told not to refresh).
    virtual void productTicked() {}
    // The same tick record, for a dialog that prices from the tick itself; called just before
    // productTicked().
    virtual void tickArrived(const KLineBar &) {}
    void setRefreshCopyOnTick(bool refresh) { m_refreshCopyOnTick = refresh; }
    void ticked(const KLineBar &tick) override;

    const FrameContext &context() const { return m_context; }
    OrderDialog kind() const { return m_kind; }

    void keyPressEvent(QKeyEvent *event) override;

private:
    void setSubmitEnabled(bool enabled);

    FrameContext m_context;
    const OrderDialog m_kind;
    TypeInfo m_product;
    bool m_refreshCopyOnTick = true;
    std::vector<QAbstractButton *> m_submitButtons;
};

} // namespace qs::ui
