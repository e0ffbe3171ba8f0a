// "Edit configuration" and "Edit print options": the fields of the configuration in use, edited
// in memory for the rest of the run.
#include "compiler/errornavigation.h"
#include "config/configuration.h"
#include "config/configurationdialog.h"
#include "config/dialogfields.h"
#include "config/errorformtester.h"
#include "documents/document.h"
#include "documents/documentactions.h"
#include "frame/mainframe.h"
#include "toolkit/panel.h"
#include "toolkit/textfield.h"

#include <QLineEdit>

#include <vector>

namespace {

constexpr int visibleCharacters = 20;

const char macroLine[] = "Makros:    '*';  '#';  '%';  '\\n'   are replaced by:";
const char macroMeaningLine[] = "filename's root;  it's extension;  the line number;  carr. return ";

// A text field of the dialog bound to the configuration field it shows and stores, and the value
// it showed: a field the user left as it was is not stored back, so that its bytes stay exactly.
struct BoundField {
    PanelTextField *field = nullptr;
    char *target = nullptr;
    std::size_t capacity = 0;
    QString shown;
};

// The dialog that is open, if it is one of these two, and the configuration it shows. The
// dialog stores into that configuration even when another has been chosen meanwhile: the
// user's values never land in a configuration whose values the dialog did not show.
struct EditingDialog {
    QWidget *frame = nullptr;
    int slot = 0;
    std::vector<BoundField> fields;
    PanelCheckBox *compilerTerminates = nullptr;
    PanelCheckBox *disableSave = nullptr;
};
EditingDialog editing;

template <std::size_t capacity>
PanelTextField *addBoundField(Panel *panel, const char *label, int length, char (&target)[capacity])
{
    const QString value = fieldText(target);
    // A value longer than the field takes (a compilerCall from the file may be 4095 bytes long)
    // is shown and kept whole, and may be edited up to what the configuration holds.
    const int longest = value.size() > length ? static_cast<int>(capacity) - 1 : length;
    PanelTextField *field = panel->addTextField(QString::fromLatin1(label), visibleCharacters, longest);
    field->setValue(value);
    field->lineEdit()->setCursorPosition(0); // a long value shows its beginning
    editing.fields.push_back({field, target, capacity, value});
    return field;
}

// Rows after the fields: the macro explanation, then OK and cancel side by side.
void addMacroRowsAndButtons(Panel *panel, void (*store)())
{
    panel->addMessage("");
    panel->addMessage("-----------------------------------------------------");
    panel->addMessage(macroLine);
    panel->addMessage(macroMeaningLine);
    panel->addMessage("");
    panel->setSideBySide(true);
    panel->addMessage(QString(26, ' '));
    panel->addButton("    OK    ", store);
    panel->addMessage(QString(11, ' '));
    panel->addButton("  cancel  ", closeConfigurationDialog);
    panel->alignLabels(Qt::AlignRight);
}

Panel *beginEditing(const char *title)
{
    Panel *panel = createConfigurationDialog(title);
    editing = EditingDialog();
    QWidget *frame = configurationDialog.frame;
    editing.frame = frame;
    editing.slot = currentConfiguration;
    QObject::connect(frame, &QObject::destroyed, [frame] {
        if (editing.frame == frame)
            editing = EditingDialog();
    });
    return panel;
}

// Whether the dialog in the slot is the one `beginEditing` made.
bool editingDialogOpen()
{
    return configurationDialog.open && configurationDialog.frame && configurationDialog.frame == editing.frame;
}

void storeBoundFields()
{
    for (const BoundField &bound : editing.fields)
        if (bound.field->value() != bound.shown)
            storeFieldText(bound.target, bound.capacity, bound.field->value());
}

} // namespace

void editConfiguration()
{
    if (configurationDialog.open)
        return;
    Panel *panel = beginEditing("Edit configuration");
    Configuration &c = configurationTable[editing.slot];
    panel->addMessage("");
    addBoundField(panel, "     COMPILER DESCRIPTION -> ", 256, c.description);
    panel->addMessage("");
    panel->addMessage("------------------- Compiler options -------------------");
    addBoundField(panel, "                     COMPILER CALL -> ", 256, c.compilerCall);
    addBoundField(panel, "     SOURCE FILE EXTENSIONS -> ", 256, c.sourceExtensions);
    panel->addMessage("");
    panel->addMessage("------------------- Execution options -------------------");
    addBoundField(panel, "          CALL TARGET FILE WITH -> ", 256, c.targetCall);
    addBoundField(panel, "          TARGET FILE EXTENSION -> ", 256, c.targetExtension);
    panel->addMessage("");
    panel->addMessage("------------------- Error messages etc. ------------------");
    addBoundField(panel, "              ERROR MESSAGES FORM -> ", 1024, c.errorForm)
        ->setNotifyProc([](PanelTextField *) { storeConfiguration(); });
    editing.compilerTerminates = panel->addCheckBox("                COMPILER TERMINATES -> ", c.compilerTerminates());
    editing.disableSave = panel->addCheckBox("WHILE COMPILING, DISABLE SAVE  -> ", c.disableSaveWhileCompiling());
    addMacroRowsAndButtons(panel, storeConfiguration);
    addErrorFormTester(editing.frame, panel->textField("              ERROR MESSAGES FORM -> "), c.errorForm);
    showConfigurationDialog();
}

void storeConfiguration()
{
    if (!editingDialogOpen())
        return;
    const int slot = editing.slot;
    Configuration &c = configurationTable[slot];
    storeBoundFields();
    storeFlag(c.flags, sizeof c.flags, 0, editing.compilerTerminates->isChecked());
    storeFlag(c.flags, sizeof c.flags, 1, editing.disableSave->isChecked());
    closeConfigurationDialog();

    refreshFileName();
    setMainTitle(document.edited ? editedDocumentTitle() : documentTitle());
    refreshConfigurationItem(slot);
    rebuildErrorList();
}

void editPrintConfiguration()
{
    if (configurationDialog.open)
        return;
    Panel *panel = beginEditing("Edit print configuration");
    Configuration &c = configurationTable[editing.slot];
    panel->addMessage("");
    // Shown for orientation only: what is typed into it is not stored.
    panel->addTextField("     COMPILER DESCRIPTION -> ", visibleCharacters, 256)->setValue(fieldText(c.description));
    panel->addMessage("");
    panel->addMessage("-------------------- Print options -----------------------");
    addBoundField(panel, "                PRINTER DEVICE FILE -> ", 256, c.printerDevice);
    addBoundField(panel, "            FORMATTED PRINT CALL -> ", 1024, c.formattedPrintCall);
    addBoundField(panel, "                       .. FOR ODD PAGES -> ", 1024, c.oddPagesCall);
    addBoundField(panel, "                      .. FOR EVEN PAGES -> ", 1024, c.evenPagesCall);
    addBoundField(panel, " .. USING A PREFORMATTED FILE -> ", 1024, c.preformattedCall)
        ->setNotifyProc([](PanelTextField *) { storePrintConfiguration(); });
    addMacroRowsAndButtons(panel, storePrintConfiguration);
    showConfigurationDialog();
}

void storePrintConfiguration()
{
    if (!editingDialogOpen())
        return;
    storeBoundFields();
    closeConfigurationDialog();
}
