#pragma once
// "Choose configuration", and the one dialog slot that "Edit configuration", "Edit print
// configuration" and the font chooser share: at most one of them is open at a time, and while one
// is, the commands that open them do nothing. The dialogs are not modal.

class Panel;
class QString;
class QWidget;

// "Choose configuration": makes `slot` the current configuration.
void chooseConfiguration(int slot);
// The label of `slot`'s "Choose configuration" item: its description as read from the file.
QString configurationLabel(int slot);
// Gives the "Choose configuration" item of `slot` the description the slot holds now.
void refreshConfigurationItem(int slot);
// The menu items that open the two editing dialogs.
void editConfiguration();
void editPrintConfiguration();

struct ConfigurationDialog {
    QWidget *frame = nullptr;
    Panel *panel = nullptr; // lays its items out one per row
    bool open = false;
};

extern ConfigurationDialog configurationDialog;

// Creates a dialog frame owned by the main frame, titled `title`, at the place of these dialogs
// (right of the main frame's corner by half the button panel's width, 13 pixels below it), and
// puts the frame and its panel into the slot. Shown by showConfigurationDialog.
Panel *createConfigurationDialog(const char *title);
// Fits the panel and the frame to their contents, shows the frame and sets the open flag.
void showConfigurationDialog();
// The dialogs' cancel: destroys the dialog in the slot and clears the open flag; nothing is
// stored. Closing a dialog through the window manager does the same.
void closeConfigurationDialog();

// "Edit configuration"'s OK (and Return in its error-form field): stores the dialog's values into
// the configuration it shows, closes it, and brings the title, the "Choose configuration" label
// and the error list up to date.
void storeConfiguration();
// "Edit print configuration"'s OK (and Return in its last field): stores the print fields into
// the configuration the dialog shows and closes it. Its description field is not stored.
void storePrintConfiguration();
