#include "config/errorformtester.h"

#include "compiler/compilestate.h"
#include "compiler/errorlist.h"
#include "compiler/errornavigation.h"
#include "compiler/messagefiles.h"
#include "config/dialogfields.h"
#include "documents/document.h"
#include "toolkit/notifier.h"
#include "toolkit/outputtext.h"
#include "toolkit/panel.h"
#include "toolkit/textfield.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>

namespace {

constexpr int visibleCharacters = 20;
constexpr int sampleCapacity = 4096;
// Bytes of output counted in one go, and the time one turn of counting may take (ms).
constexpr std::size_t countStep = 256 * 1024;
constexpr int countBudget = 12;

const char sampleLabel[] = "                       SAMPLE LINE -> ";

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::size_t charactersOf(std::string_view text)
{
    std::size_t count = 0;
    for (char c : text)
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

// The tester of one dialog; it goes with the dialog's frame.
class ErrorFormTester : public QObject {
public:
    ErrorFormTester(QWidget *frame, PanelTextField *formField, const char *storedForm)
        : QObject(frame), formField_(formField), storedForm_(storedForm), output_(compilerOutput)
    {
        auto *panel = new Panel(frame);
        panel->addMessage("");
        panel->addMessage("------------------- Trying the error form -------------------");
        sample_ = panel->addTextField(sampleLabel, visibleCharacters, sampleCapacity);
        result_ = panel->addMessage("");
        count_ = panel->addMessage("");
        sample_->setObjectName("ErrorFormSample");
        result_->setObjectName("ErrorFormTrial");
        count_->setObjectName("ErrorFormCount");
        panel->alignLabels(Qt::AlignRight);
        // The sample's value lines up with the dialog's values.
        sample_->label()->setFixedWidth(std::max(sample_->label()->minimumWidth(), formField_->label()->minimumWidth()));
        frame->layout()->addWidget(panel);

        if (output_) {
            std::string_view line = firstSampleLine(output_->text(), errorList.entries(), document.fileName);
            if (!line.empty() && line.back() == '\r')
                line.remove_suffix(1);
            sample_->setValue(textOfOutput(line));
            sample_->lineEdit()->setCursorPosition(0);
        }
        QObject::connect(sample_->lineEdit(), &QLineEdit::textChanged, this, [this] { tryForm(); });
        QObject::connect(formField_->lineEdit(), &QLineEdit::textChanged, this, [this] {
            tryForm();
            startCounting();
        });
        tryForm();
        startCounting();
    }

    ~ErrorFormTester() override { notify_set_itimer_func(this, nullptr, ITIMER_REAL, nullptr, nullptr); }

private:
    // The form as OK would store it.
    std::string typedForm() const
    {
        std::vector<char> field(1024);
        std::strncpy(field.data(), storedForm_.c_str(), field.size() - 1);
        storeFieldText(field.data(), field.size(), formField_->value());
        return field.data();
    }

    bool outputIsUtf8() const { return !output_ || output_->isUtf8(); }
    QString textOfOutput(std::string_view bytes) const
    {
        const int length = static_cast<int>(bytes.size());
        return outputIsUtf8() ? QString::fromUtf8(bytes.data(), length) : QString::fromLatin1(bytes.data(), length);
    }

    void tryForm()
    {
        const QString sample = sample_->value();
        const QByteArray bytes = outputIsUtf8() ? sample.toUtf8() : sample.toLatin1();
        const std::string form = typedForm();
        const std::string trial =
            errorFormTrial(form.c_str(), std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                           document.fileName.c_str(), projectTitles(), resolverOf(editedFilesOnDisk(compileDirectory)));
        result_->setText(QString::fromUtf8(trial.c_str()));
    }

    void startCounting()
    {
        notify_set_itimer_func(this, nullptr, ITIMER_REAL, nullptr, nullptr);
        counter_.reset();
        if (!output_) {
            count_->setText("no compiler output to count");
            return;
        }
        countForm_ = typedForm();
        counter_.emplace(countForm_.c_str(), document.fileName.c_str(), projectTitles(),
                         resolverOf(editedFilesOnDisk(compileDirectory)));
        counted_ = 0;
        count_->setText(QString::fromUtf8("counting\u2026"));
        struct itimerval often {};
        often.it_value.tv_usec = 1000;
        often.it_interval = often.it_value;
        notify_set_itimer_func(this, countNext, ITIMER_REAL, &often, nullptr);
    }

    static NotifyValue countNext(NotifyClient client, int)
    {
        static_cast<ErrorFormTester *>(const_cast<void *>(client))->countSlice();
        return NOTIFY_DONE;
    }

    void countSlice()
    {
        if (!counter_)
            return;
        const std::string_view text = output_->text();
        QElapsedTimer clock;
        clock.start();
        while (counted_ < text.size() && clock.elapsed() < countBudget) {
            counted_ = std::min(text.size(), counted_ + countStep);
            counter_->parseArrived(text.substr(0, counted_));
        }
        if (counted_ < text.size())
            return;
        notify_set_itimer_func(this, nullptr, ITIMER_REAL, nullptr, nullptr);
        const std::size_t found = counter_->finish(text).size();
        counter_.reset();
        count_->setText(QString::fromStdString(messageCountText(found)));
    }

    PanelTextField *formField_;
    std::string storedForm_;
    std::shared_ptr<OutputText> output_; // the last compile's, as the dialog opened
    PanelTextField *sample_ = nullptr;
    QLabel *result_ = nullptr;
    QLabel *count_ = nullptr;
    std::optional<IncrementalErrorParser> counter_;
    std::string countForm_;
    std::size_t counted_ = 0;
};

} // namespace

void addErrorFormTester(QWidget *frame, PanelTextField *formField, const char *storedForm)
{
    if (frame && frame->layout() && formField)
        new ErrorFormTester(frame, formField, storedForm);
}

std::string errorFormTrial(const char *form, std::string_view sample, const char *fileName,
                           const std::vector<ProjectFileTitle> &projects, FileResolver resolver)
{
    if (sample.empty())
        return std::string();
    std::string_view line = form;
    line = line.substr(0, line.find('\n'));
    if (line.find('*') == std::string_view::npos || line.find('%') == std::string_view::npos)
        return "no message: the form needs * for the file and % for the line";
    const ErrorFormMatcher matcher(form, fileName, projects, std::move(resolver));
    const ErrorFormMatcher::Trial trial = matcher.tryLine(sample);
    switch (trial.outcome) {
    case ErrorFormMatcher::Trial::Outcome::message:
        return std::string(trial.file) + ", line " + std::to_string(trial.entry.lineNumber);
    case ErrorFormMatcher::Trial::Outcome::otherFile:
        return "no message for the edited file";
    case ErrorFormMatcher::Trial::Outcome::noMessage:
        break;
    }
    return "no message: the form stops at character " + std::to_string(charactersOf(line.substr(0, trial.stoppedAt)) + 1);
}

std::string messageCountText(std::size_t count)
{
    if (count == 0)
        return "no messages in the last output";
    return std::to_string(count) + (count == 1 ? " message" : " messages") + " in the last output";
}

std::string_view firstSampleLine(std::string_view output, const ErrorEntries &entries, const std::string &fileName)
{
    for (const ErrorEntry &entry : entries)
        if (entry.projectSlot == mainDocumentSlot)
            return messageLine(output, entry);
    const std::string_view name = std::string_view(fileName).substr(fileName.rfind('/') + 1);
    if (name.empty())
        return std::string_view();
    for (std::size_t at = output.find(name); at != std::string_view::npos; at = output.find(name, at + 1)) {
        const std::size_t lineStart = output.rfind('\n', at) + 1; // npos + 1 is 0
        const std::size_t lineEnd = std::min(output.find('\n', at), output.size());
        const std::string_view after = output.substr(at + name.size(), lineEnd - at - name.size());
        if (std::find_if(after.begin(), after.end(), isDigit) != after.end())
            return output.substr(lineStart, lineEnd - lineStart);
        at = lineEnd;
    }
    return std::string_view();
}
