#include "toolkit/selection.h"

#include "toolkit/xselection.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPointer>

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

bool claimIsCurrent()
{
    QClipboard *board = clipboard();
    return claimed && claimed->holder && board && board->ownsSelection()
           && board->mimeData(QClipboard::Selection) == claimed.data();
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
    if (!board)
        return owner;
    if (board->ownsSelection()) {
        if (claimIsCurrent()) {
            owner.kind = SelectionOwner::Holder;
            owner.holder = claimed->holder;
        } else {
            owner.kind = SelectionOwner::Other; // a Qt widget of ours
        }
    } else if (xSelectionAvailable()) {
        owner.kind = xPrimaryHasOwner() ? SelectionOwner::Other : SelectionOwner::Nobody;
    } else {
        const QMimeData *data = board->mimeData(QClipboard::Selection);
        owner.kind = data && data->hasText() ? SelectionOwner::Other : SelectionOwner::Nobody;
    }
    return owner;
}

SelectionReply selection_ask(const SelectionOwner &owner)
{
    SelectionReply reply;
    QClipboard *board = clipboard();
    if (owner.kind == SelectionOwner::Holder) {
        if (liveHolders().count(owner.holder)) {
            reply.first = owner.holder->selectionFirst();
            reply.last = owner.holder->selectionLast();
            reply.text = owner.holder->selectedBytes();
        }
    } else if (owner.kind == SelectionOwner::Other && board) {
        if (board->ownsSelection() || !xSelectionAvailable()) {
            // Held inside this process (or not on X): Qt has the data without a round trip.
            if (const QMimeData *data = board->mimeData(QClipboard::Selection))
                reply.text = data->data(plainText).toStdString();
        } else {
            xReadPrimary(reply.text, answerTimeoutMs);
        }
    }
    return reply;
}

void selection_delete(const SelectionOwner &owner)
{
    if (owner.kind == SelectionOwner::Holder && liveHolders().count(owner.holder))
        owner.holder->deleteSelection();
}
