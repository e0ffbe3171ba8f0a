#include "support/xclip.h"
#include "toolkit/selection.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

class FakeHolder : public SelectionHolder {
public:
    std::string text;
    long first = 0, last = 0;
    int deletions = 0;
    std::string selectedBytes() override { return text; }
    long selectionFirst() override { return first; }
    long selectionLast() override { return last; }
    void deleteSelection() override
    {
        ++deletions;
        text.clear();
    }
};

SelectionOwner::Kind ownerKind()
{
    return selection_inquire().kind;
}

const QByteArray otherBytes("\xff\xe9 other\n\0tail", 14);

TEST(Selection, AnotherClientsTextComesAsBytesWithoutPositions)
{
    FakeHolder holder;
    holder.text = "ours";
    Xclip xclip(otherBytes);
    ASSERT_TRUE(waitUntil([] { return ownerKind() == SelectionOwner::Other; }));

    const SelectionOwner owner = selection_inquire();
    const SelectionReply reply = selection_ask(owner);
    EXPECT_EQ(reply.text, otherBytes.toStdString());
    EXPECT_EQ(reply.first, -1);
    EXPECT_EQ(reply.last, -1);
    selection_delete(owner);
    EXPECT_EQ(holder.deletions, 0);
    EXPECT_FALSE(selection_holds_primary(&holder));
}

TEST(Selection, LargeSelectionOfAnotherClientArrivesWhole)
{
    QByteArray large;
    for (int i = 0; large.size() < 3 * 1024 * 1024; ++i)
        large += QByteArray::number(i) + (i % 7 ? ' ' : '\n');
    Xclip xclip(large); // more than one request holds: sent in pieces
    ASSERT_TRUE(waitUntil([] { return ownerKind() == SelectionOwner::Other; }));
    const std::string text = selection_ask(selection_inquire()).text;
    EXPECT_EQ(text.size(), static_cast<size_t>(large.size()));
    EXPECT_TRUE(text == large.toStdString());
}

TEST(Selection, OurHolderAnswersAndServesItsBytesUntilAnotherClientTakesIt)
{
    FakeHolder holder;
    holder.text = std::string("\xe9t\xe9\n\0x", 6);
    holder.first = 12;
    holder.last = 17;
    selection_claim_primary(&holder);
    ASSERT_TRUE(selection_holds_primary(&holder));

    SelectionOwner owner = selection_inquire();
    ASSERT_EQ(owner.kind, SelectionOwner::Holder);
    EXPECT_EQ(owner.holder, &holder);
    const SelectionReply reply = selection_ask(owner);
    EXPECT_EQ(reply.text, holder.text);
    EXPECT_EQ(reply.first, 12);
    EXPECT_EQ(reply.last, 17);

    // Other programs read the holder's bytes exactly.
    QProcess reader;
    reader.start("xclip", {"-o", "-selection", "primary", "-t", "UTF8_STRING"});
    ASSERT_TRUE(waitUntil([&] { return reader.state() == QProcess::NotRunning; }));
    EXPECT_EQ(reader.readAllStandardOutput().toStdString(), holder.text);

    selection_delete(owner);
    EXPECT_EQ(holder.deletions, 1);

    Xclip xclip(otherBytes);
    ASSERT_TRUE(waitUntil([] { return ownerKind() == SelectionOwner::Other; }));
    EXPECT_FALSE(selection_holds_primary(&holder));
    owner = selection_inquire();
    EXPECT_EQ(selection_ask(owner).text, otherBytes.toStdString());
    selection_delete(owner);
    EXPECT_EQ(holder.deletions, 1);

    // Claiming again takes it back from the other client.
    selection_claim_primary(&holder);
    EXPECT_TRUE(selection_holds_primary(&holder));
}

TEST(Selection, ReleasedOrDestroyedHolderIsNoLongerAsked)
{
    auto holder = std::make_unique<FakeHolder>();
    holder->text = "gone";
    selection_claim_primary(holder.get());
    const SelectionOwner owner = selection_inquire();
    ASSERT_EQ(owner.kind, SelectionOwner::Holder);

    holder.reset();
    EXPECT_EQ(ownerKind(), SelectionOwner::Nobody);
    const SelectionReply reply = selection_ask(owner);
    EXPECT_EQ(reply.text, "");
    EXPECT_EQ(reply.first, -1);
    selection_delete(owner); // must not reach the destroyed holder

    FakeHolder other;
    selection_claim_primary(&other);
    selection_release_primary(&other);
    EXPECT_EQ(ownerKind(), SelectionOwner::Nobody);
    EXPECT_EQ(selection_ask(selection_inquire()).text, "");
}

TEST(Selection, PlainQtWidgetOfOursCountsAsAnotherOwner)
{
    FakeHolder holder;
    selection_claim_primary(&holder);
    QGuiApplication::clipboard()->setText("line edit text", QClipboard::Selection);
    EXPECT_FALSE(selection_holds_primary(&holder));
    const SelectionOwner owner = selection_inquire();
    ASSERT_EQ(owner.kind, SelectionOwner::Other);
    const SelectionReply reply = selection_ask(owner); // answered in-process, no X round trip
    EXPECT_EQ(reply.text, "line edit text");
    EXPECT_EQ(reply.last, -1);
}

} // namespace
