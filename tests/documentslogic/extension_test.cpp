#include "config/configuration.h"
#include "documents/document.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class ExtensionChoice : public testing::Test {
protected:
    void SetUp() override
    {
        clearConfiguration();
        generalSettings.configurationCount = 3;
        set(0, "C", ".c .h");
        set(1, "Two spaces", ".x  .y");
        set(2, "Leading", " .z");
        strcpy(configurationTable[plainFileConfiguration].description, "File");
        strcpy(configurationTable[plainFileConfiguration].sourceExtensions, "..");
        currentConfiguration = 0;
        document = Document();
    }
    static void set(int slot, const char *description, const char *extensions)
    {
        strcpy(configurationTable[slot].description, description);
        strcpy(configurationTable[slot].sourceExtensions, extensions);
    }
    static int choose(const char *name)
    {
        document.fileName = name;
        chooseConfigurationByExtension();
        return currentConfiguration;
    }
};

TEST_F(ExtensionChoice, WordsAreSeparatedByExactlyOneSpace)
{
    EXPECT_EQ(choose("main.c"), 0);
    EXPECT_EQ(choose("defs.h"), 0);
    EXPECT_EQ(document.matchedExtension, ".h");
    EXPECT_EQ(choose("a.x"), 1);
    EXPECT_EQ(choose("a.y"), plainFileConfiguration); // after a double space nothing is examined
    EXPECT_EQ(choose("a.z"), plainFileConfiguration); // a leading space yields no word
    EXPECT_EQ(document.matchedExtension, ".x");       // kept from the last match
}

TEST_F(ExtensionChoice, ConfigurationInUseKeepsTheFile)
{
    set(2, "Other C", ".c");
    currentConfiguration = 2;
    EXPECT_EQ(choose("x.c"), 2);
    currentConfiguration = 1;
    EXPECT_EQ(choose("x.c"), 0);
}

TEST_F(ExtensionChoice, PlainFileAndTitles)
{
    EXPECT_EQ(choose("README"), plainFileConfiguration);
    EXPECT_EQ(documentTitle(), "File: <README>");
    EXPECT_EQ(choose("odd.."), plainFileConfiguration); // ".." examined first while in use
    EXPECT_EQ(document.matchedExtension, "..");
    EXPECT_EQ(choose("x.c"), 0);
    EXPECT_EQ(editedDocumentTitle(), "C: <x.c> - edited");
    EXPECT_EQ(readOnlyTitle(documentTitle()), "C: <x.c> - readonly");
    EXPECT_EQ(choose(".c"), 0);   // a name as long as the word
    EXPECT_EQ(choose("c"), plainFileConfiguration);
}

} // namespace
