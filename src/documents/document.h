#pragma once
// The main window's file: its name, edited and read-only flags, the extension that chose its
// configuration, and the directory state that the file dialogs and the terminal share.
#include <string>

struct Document {
    std::string fileName;          // as the user chose it, relative to the working directory
    bool edited = false;
    bool readOnly = false;
    std::string matchedExtension;  // the sourceExtensions word of the last successful match
    int loadStatus = 0;            // written by the text pane on every load
};

extern Document document;
extern std::string fileDirectory;    // the directory the file dialog's list shows
extern std::string workingDirectory; // where the program and the terminal were last moved
extern bool directoryChanged;        // the list moved since the dialog opened

// Chooses `currentConfiguration` by the end of `document.fileName`: the configuration in use is
// examined first, then slots 0 to configurationCount - 1. No match selects the plain-file
// configuration and keeps `matchedExtension`.
void chooseConfigurationByExtension();

// Whether `word` matches the end of `name` (case-sensitive, no implied dot).
bool extensionMatches(const std::string &name, const std::string &word);

// The title forms of the main frame.
extern const char *const productTitle;  // "Vantrel Tessa Lumbrel"
extern const char *const noFileTitle;   // "No File"
std::string documentTitle();            // "%s: <%s>" from the current configuration and fileName
std::string editedDocumentTitle();      // "%s: <%s> - edited"
std::string readOnlyTitle(const std::string &title); // "%s - readonly"
