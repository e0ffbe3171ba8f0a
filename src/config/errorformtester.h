#pragma once
// The error-form tester of "Edit configuration": under the dialog's rows, a sample line (at first
// the last compile's first line about the edited file) and what the form as typed makes of it,
// changing as the form or the sample is typed ("prog.c, line 12", "no message: the form stops at
// character 7", "no message for the edited file"); beside it, how many messages the form as typed
// finds in the last compile's output ("14 messages in the last output"), counted a slice at a time
// so that a long output never holds the dialog ("counting…" meanwhile). It stores nothing.

#include "compiler/errorparser.h"

#include <string>
#include <string_view>
#include <vector>

class PanelTextField;
class QWidget;

// Adds the tester to the dialog `frame`, below its panel; `formField` is the dialog's error-form
// field, `storedForm` the bytes the form had when the dialog opened (a form typed is tried as OK
// would store it).
void addErrorFormTester(QWidget *frame, PanelTextField *formField, const char *storedForm);

// What the form makes of `sample`, as the tester says it.
std::string errorFormTrial(const char *form, std::string_view sample, const char *fileName,
                           const std::vector<ProjectFileTitle> &projects, FileResolver resolver = {});
// "14 messages in the last output".
std::string messageCountText(std::size_t count);
// The first message line of `output` about the main file among `entries`; else the first line
// that names `fileName` with a number after it; else empty.
std::string_view firstSampleLine(std::string_view output, const ErrorEntries &entries, const std::string &fileName);
