#pragma once
// The "Compiler Results" window: the results pane with the compiler's output, the results
// message under it, and a column of eight image buttons. Created by the first captured compile,
// kept until the user closes it; later compiles reuse it. It stays above the main frame.

#include <QWidget>

#include <memory>
#include <string>

class ImageButton;
class QLabel;
class OutputPane;
class OutputText;

class ResultsWindow : public QWidget {
    Q_OBJECT
public:
    ResultsWindow();
    ~ResultsWindow() override;

    QWidget *textPanel = nullptr;
    OutputPane *resultsPane = nullptr;
    QLabel *resultsMessage = nullptr;
    QWidget *resultsButtons = nullptr;
    // In the order of the button column.
    ImageButton *previousButton = nullptr;
    ImageButton *firstButton = nullptr;
    ImageButton *nextButton = nullptr;
    ImageButton *lastButton = nullptr;
    ImageButton *runButton = nullptr;
    ImageButton *runForegroundButton = nullptr;
    ImageButton *compileButton = nullptr;
    ImageButton *closeButton = nullptr;

protected:
    // Closing through the window manager is the close button.
    void closeEvent(QCloseEvent *event) override;
};

// The one results window; null while there is none.
extern ResultsWindow *resultsWindow;

// Creates, sizes and shows the window, its message showing "*** Compiling ***" and its four
// navigation buttons inactive.
void createResultsWindow();
// Hides the window and lets it go; the handle is cleared at once.
void destroyResultsWindow();

void setResultsMessage(const std::string &text);
std::string resultsMessageText();

// Makes the results pane show `output` (none of it yet); its selections and footer go.
void showOutputInResultsPane(std::shared_ptr<OutputText> output);
// Shows what has arrived in that output since; false (nothing more shown) when it would pass
// the pane's memory limit.
bool showArrivedOutput();
// A line after the output in the results pane, not part of it (empty: none).
void setResultsFooter(const std::string &text);
