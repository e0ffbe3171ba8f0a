#include "toolkit/selection.h"

#include "toolkit/xselection.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPointer>
#include <QX11Info>

#include <unordered_set>

namespace {

const int answerTimeoutMs = 3000;
const QString plainText = QStringLiteral("text/plain");

// What the clipboard serves while one of our holders has the PRIMARY: the holder's bytes,
// fetched when another client asks, so that they are always the current selection.
class HolderMimeData : public QMimeData {
public:
    explicit HolderMimeData(SelectionHolder *holder) : holder(holder) {}
    QStringList formats() const override { return {plainText}; }
    bool hasFormat(const QString &mimeType) const override { return mimeType == plainText; }

    SelectionHolder *holder; // cleared when the holder goes

protected:
    QVariant retrieveData(const QString &mimeType, QVariant::Type) const override
    {
        if (!holder || mimeType != plainText)
            return QVariant();
        return QByteArray::fromStdString(holder->selectedBytes());
    }
};

std::unordered_set<const SelectionHolder *> &liveHolders()
{
    static std::unordered_set<const SelectionHolder *> holders;
    return holders;
}

// The data of the last claim; Qt deletes it when the PRIMARY is given to somebody else.
QPointer<HolderMimeData> claimed;

QClipboard *clipboard()
{
    return QGuiApplication::instance() ? QGuiApplication::clipboard() : nullptr;
}

// Qt answers mimeData(Selection) from the server's current owner: our own data while this
// process owns the PRIMARY, else its reader of another client's selection (a QInternalMimeData).
// ownsSelection() instead lags until Qt has processed the loss of ownership.
const QMimeData *currentData(QClipboard *board)
{
    return board ? board->mimeData(QClipboard::Selection) : nullptr;
}

bool heldInThisProcess(const QMimeData *data)
{
    return data && !data->inherits("QInternalMimeData");
}

bool claimIsCurrent()
{
    return claimed && claimed->holder && currentData(clipboard()) == claimed.data();
}

} // namespace

SelectionHolder::SelectionHolder()
{
    liveHolders().insert(this);
}

SelectionHolder::~SelectionHolder()
{
    selection_release_primary(this);
    if (claimed && claimed->holder == this)
        claimed->holder = nullptr;
    liveHolders().erase(this);
}

void selection_claim_primary(SelectionHolder *holder)
{
    QClipboard *board = clipboard();
    if (!holder || !board || selection_holds_primary(holder))
        return;
    // The server ignores a claim stamped earlier than the current owner's; a client that took
    // the PRIMARY at "current time" would beat our last event's time, so take a fresh one.
    if (QX11Info::isPlatformX11())
        QX11Info::setAppTime(QX11Info::getTimestamp());
    auto *data = new HolderMimeData(holder);
    claimed = data;
    board->setMimeData(data, QClipboard::Selection); // the clipboard owns the data from here
}

void selection_release_primary(SelectionHolder *holder)
{
    if (selection_holds_primary(holder))
        clipboard()->clear(QClipboard::Selection);
}

bool selection_holds_primary(const SelectionHolder *holder)
{
    return holder && claimIsCurrent() && claimed->holder == holder;
}

SelectionOwner selection_inquire()
{
    SelectionOwner owner;
    QClipboard *board = clipboard();
    const QMimeData *data = currentData(board);
    if (claimed && claimed->holder && data == claimed.data()) {
        owner.kind = SelectionOwner::Holder;
        owner.holder = claimed->holder;
    } else if (heldInThisProcess(data)) {
        owner.kind = SelectionOwner::Other; // a plain Qt widget of ours, such as a line edit
    } else if (xSelectionAvailable()) {
        owner.kind = xPrimaryHasOwner() ? SelectionOwner::Other : SelectionOwner::Nobody;
    } else {
        owner.kind = data && data->hasText() ? SelectionOwner::Other : SelectionOwner::Nobody;
    }
    return owner;
}

SelectionReply selection_ask(const SelectionOwner &owner)
{
    SelectionReply reply;
    if (owner.kind == SelectionOwner::Holder) {
        if (liveHolders().count(owner.holder)) {
            reply.first = owner.holder->selectionFirst();
            reply.last = owner.holder->selectionLast();
            reply.text = owner.holder->selectedBytes();
        }
    } else if (owner.kind == SelectionOwner::Other) {
        const QMimeData *data = currentData(clipboard());
        // Another client's bytes are read from the server directly; asking through Qt would
        // turn them into a QString. Inside this process Qt has the data without a round trip.
        if (!heldInThisProcess(data) && xSelectionAvailable())
            xReadPrimary(reply.text, answerTimeoutMs);
        else if (data)
            reply.text = data->data(plainText).toStdString();
    }
    return reply;
}

void selection_delete(const SelectionOwner &owner)
{
    if (owner.kind == SelectionOwner::Holder) {
        if (liveHolders().count(owner.holder))
            owner.holder->deleteSelection();
    } else if (owner.kind == SelectionOwner::Other && !heldInThisProcess(currentData(clipboard())) &&
               xSelectionAvailable()) {
        xDeletePrimary();
    }
}
