// Typed characters reach the text in its encoding, those outside the basic plane included.
#include "support/testsupport.h"
#include "toolkit/textpane.h"

#include <QApplication>
#include <QKeyEvent>

#include <gtest/gtest.h>

namespace {

std::string paneText(TextPane *pane)
{
    return textsw_contents(pane, 0, textsw_length(pane));
}

// A key press as the window system delivers one that types `text`.
void typeText(TextPane *pane, const QString &text)
{
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, text);
    QApplication::sendEvent(pane, &press);
}

const QString grinningFace = QString::fromUcs4(U"\U0001F600");  // an emoji
const QString extensionB = QString::fromUcs4(U"\U00020000");    // CJK extension B

} // namespace

TEST(Typing, CharactersOutsideTheBasicPlaneGoInAsUtf8)
{
    TempDir dir;
    writeFile(dir.file("u.txt"), "x\n");
    TextPane pane;
    ASSERT_EQ(textsw_load_file(&pane, dir.file("u.txt"), false), TEXTSW_STATUS_OKAY);
    ASSERT_TRUE(textsw_is_utf8(&pane));
    typeText(&pane, grinningFace);
    typeText(&pane, extensionB);
    typeText(&pane, QStringLiteral("\u00E9")); // and one of the basic plane
    ASSERT_EQ(textsw_store_file(&pane, dir.file("u.txt")), 0);
    EXPECT_EQ(readFile(dir.file("u.txt")), "\xF0\x9F\x98\x80\xF0\xA0\x80\x80\xC3\xA9x\n");

    // Over a selection, the typed character replaces it.
    textsw_set_selection(&pane, 0, 4, TEXTSW_SEL_PRIMARY);
    typeText(&pane, extensionB);
    EXPECT_EQ(paneText(&pane), "\xF0\xA0\x80\x80\xF0\xA0\x80\x80\xC3\xA9x\n");

    textsw_set_read_only(&pane, true);
    typeText(&pane, grinningFace);
    EXPECT_EQ(textsw_length(&pane), 12);
}

TEST(Typing, ALatin1TextTakesWhatItCanHoldAndRefusesTheRest)
{
    TempDir dir;
    writeFile(dir.file("l.txt"), "caf\xE9\n");
    TextPane pane;
    ASSERT_EQ(textsw_load_file(&pane, dir.file("l.txt"), false), TEXTSW_STATUS_OKAY);
    ASSERT_FALSE(textsw_is_utf8(&pane));
    typeText(&pane, QStringLiteral("\u00FC"));  // u umlaut: one Latin-1 byte
    typeText(&pane, grinningFace);               // cannot be held: refused, not turned into '?'
    typeText(&pane, QStringLiteral("\u20AC"));  // the euro sign is not Latin-1 either
    EXPECT_EQ(paneText(&pane), "\xFC" "caf\xE9\n");
}
