// The configuration file reader on any bytes: it must stay inside its tables and leave every
// field a terminated string within its capacity.
#include "config/configuration.h"
#include "fuzzcheck.h"

#include <cstring>
#include <fcntl.h>
#include <initializer_list>
#include <unistd.h>

namespace {

bool terminatedWithin(const char *field, std::size_t capacity)
{
    return strnlen(field, capacity) < capacity;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // The reader reports damage on standard output; thousands of runs a second need no report.
    const int null = open("/dev/null", O_WRONLY);
    if (null >= 0)
        dup2(null, 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // fmemopen refuses an empty buffer; /dev/null is a file of no bytes.
    FILE *file = size > 0 ? fmemopen(const_cast<std::uint8_t *>(data), size, "r") : fopen("/dev/null", "r");
    FUZZ_CHECK(file, "the input cannot be opened as a file");
    readConfigurationFrom(file);
    fclose(file);

    for (const Configuration &c : configurationTable) {
        const struct {
            const char *text;
            std::size_t capacity;
        } fields[] = {{c.description, sizeof c.description},
                      {c.compilerCall, sizeof c.compilerCall},
                      {c.sourceExtensions, sizeof c.sourceExtensions},
                      {c.targetExtension, sizeof c.targetExtension},
                      {c.targetCall, sizeof c.targetCall},
                      {c.printerDevice, sizeof c.printerDevice},
                      {c.formattedPrintCall, sizeof c.formattedPrintCall},
                      {c.oddPagesCall, sizeof c.oddPagesCall},
                      {c.evenPagesCall, sizeof c.evenPagesCall},
                      {c.preformattedCall, sizeof c.preformattedCall},
                      {c.errorForm, sizeof c.errorForm},
                      {c.flags, sizeof c.flags}};
        for (const auto &field : fields)
            FUZZ_CHECK(terminatedWithin(field.text, field.capacity), "a field runs past its capacity");
    }
    for (const char *text : {helpTexts.aboutText, helpTexts.introductionText, helpTexts.summaryText})
        FUZZ_CHECK(terminatedWithin(text, helpTextCapacity), "a help text runs past its capacity");
    const char *plain = configurationTable[plainFileConfiguration].description;
    FUZZ_CHECK(plain[0] == '\0' || std::strcmp(plain, "File") == 0, "the plain-file slot holds something else");
    FUZZ_CHECK(generalSettings.mainFontName && generalSettings.projectFontName, "a font name is missing");
    clearConfiguration();
    return 0;
}
