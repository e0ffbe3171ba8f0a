#include "documents/document.h"

#include "config/configuration.h"

#include <cstring>

Document document;
std::string fileDirectory;
std::string workingDirectory;
bool directoryChanged = false;

const char *const productTitle = "Vantrel Tessa Lumbrel";
const char *const noFileTitle = "No File";

bool extensionMatches(const std::string &name, const std::string &word)
{
    return name.size() >= word.size() && name.compare(name.size() - word.size(), word.size(), word) == 0;
}

namespace {

// Scans one configuration's extension words: separated by exactly one space; a word that would
// begin with a space ends the scan, as do the end of the text and the field's 256 characters.
bool matchConfiguration(int slot)
{
    const char *extensions = configurationTable[slot].sourceExtensions;
    const size_t limit = sizeof configurationTable[slot].sourceExtensions;
    size_t at = 0;
    while (at < limit && extensions[at] != '\0' && extensions[at] != ' ') {
        size_t end = at;
        while (end < limit && extensions[end] != '\0' && extensions[end] != ' ')
            ++end;
        std::string word(extensions + at, end - at);
        if (extensionMatches(document.fileName, word)) {
            currentConfiguration = slot;
            document.matchedExtension = word;
            return true;
        }
        if (end >= limit || extensions[end] == '\0')
            break;
        at = end + 1;
    }
    return false;
}

std::string titleOf(const char *suffix)
{
    return std::string(configurationTable[currentConfiguration].description) + ": <" + document.fileName + ">" +
           suffix;
}

} // namespace

void chooseConfigurationByExtension()
{
    if (currentConfiguration >= 0 && currentConfiguration < configurationSlots && matchConfiguration(currentConfiguration))
        return;
    int count = generalSettings.configurationCount;
    if (count > fileConfigurationSlots)
        count = fileConfigurationSlots;
    for (int slot = 0; slot < count; ++slot)
        if (matchConfiguration(slot))
            return;
    currentConfiguration = plainFileConfiguration;
}

std::string documentTitle()
{
    return titleOf("");
}

std::string editedDocumentTitle()
{
    return titleOf(" - edited");
}

std::string readOnlyTitle(const std::string &title)
{
    return title + " - readonly";
}
