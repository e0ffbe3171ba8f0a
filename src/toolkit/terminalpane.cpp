#include "toolkit/terminalpane.h"

#include "toolkit/shortcuts.h"
#include "toolkit/terminallines.h"

#include <QBuffer>
#include <QKeyEvent>
#include <QDir>
#include <QFontDatabase>
#include <QFontInfo>
#include <QMenu>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

TerminalInputRecorder *activeRecorder = nullptr;

// The number N of the pty slave /dev/pts/N open on `fd`, or -1.
int ptyNumber(int fd)
{
    struct stat info;
    if (fd < 0 || fstat(fd, &info) != 0 || !S_ISCHR(info.st_mode))
        return -1;
    const char *name = ttyname(fd);
    if (name && strncmp(name, "/dev/pts/", 9) == 0)
        return atoi(name + 9);
    // Unix98 pty slaves use majors 136 to 143, 256 numbers each.
    unsigned int major = ::major(info.st_rdev);
    if (major >= 136 && major <= 143)
        return static_cast<int>((major - 136) * 256 + ::minor(info.st_rdev));
    return -1;
}

// The terminal widget writes to its pty master through a buffer of its own and does not hand out
// the descriptor; find it among the process's descriptors by the slave's number.
int findMasterFd(int slaveFd)
{
    int number = ptyNumber(slaveFd);
    if (number < 0)
        return -1;
    DIR *fds = opendir("/proc/self/fd");
    if (!fds)
        return -1;
    int found = -1;
    while (struct dirent *entry = readdir(fds)) {
        char *end = nullptr;
        long fd = strtol(entry->d_name, &end, 10);
        if (end == entry->d_name || *end != '\0' || fd == dirfd(fds))
            continue;
        struct stat info;
        if (fstat(static_cast<int>(fd), &info) != 0 || !S_ISCHR(info.st_mode))
            continue;
        unsigned int master = 0;
        if (ioctl(static_cast<int>(fd), TIOCGPTN, &master) == 0 && static_cast<int>(master) == number) {
            found = static_cast<int>(fd);
            break;
        }
    }
    closedir(fds);
    return found;
}

// A second, non-blocking description of the slave, so that showing output never blocks the
// program and never changes the flags of the descriptors the shell shares.
int openDisplayFd(int slaveFd)
{
    if (slaveFd < 0)
        return -1;
    const char *name = ttyname(slaveFd);
    if (!name)
        return -1;
    return open(name, O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
}

// The first fixed-pitch font of a few candidates: the terminal needs cells of one width.
QFont terminalFont()
{
    QFont systemFixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    QFont candidates[] = {systemFixed, QFont(QStringLiteral("DejaVu Sans Mono")), QFont(QStringLiteral("Liberation Mono")),
                          QFont(QStringLiteral("Fixed [Misc]"))};
    for (QFont &font : candidates) {
        if (font.pointSizeF() <= 0 && font.pixelSize() <= 0)
            font.setPointSizeF(systemFixed.pointSizeF() > 0 ? systemFixed.pointSizeF() : 10);
        if (QFontInfo(font).fixedPitch())
            return font;
    }
    return systemFixed;
}

} // namespace

// Writes queued bytes to a non-blocking descriptor, waiting for room through a socket notifier.
struct TerminalPane::Writer {
    explicit Writer(int fd) : fd(fd), notifier(fd, QSocketNotifier::Write)
    {
        notifier.setEnabled(false);
        QObject::connect(&notifier, &QSocketNotifier::activated, [this] { flush(); });
    }

    void write(const char *bytes, int length)
    {
        pending.append(bytes, length);
        flush();
    }

    void flush()
    {
        while (!pending.isEmpty()) {
            ssize_t written = ::write(fd, pending.constData(), static_cast<size_t>(pending.size()));
            if (written > 0) {
                pending.remove(0, static_cast<int>(written));
                continue;
            }
            if (written < 0 && errno == EINTR)
                continue;
            if (written < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
                qWarning("terminal pane: write failed: %s", strerror(errno));
                pending.clear();
            }
            break;
        }
        notifier.setEnabled(!pending.isEmpty());
    }

    int fd;
    QSocketNotifier notifier;
    QByteArray pending;
};

TerminalPane::TerminalPane(QWidget *parent) : QTermWidget(0, parent)
{
    const char *shell = getenv("SHELL");
    QString program = shell && *shell && access(shell, X_OK) == 0 ? QString::fromLocal8Bit(shell)
                                                                  : QStringLiteral("/bin/sh");
    setShellProgram(program);
    setArgs(QStringList());
    setWorkingDirectory(QDir::currentPath());
    setColorScheme(QStringLiteral("BlackOnWhite"));
    setScrollBarPosition(QTermWidget::ScrollBarRight);
    setHistorySize(5000);
    setTerminalFont(terminalFont());
    startShellProgram();

    int slaveFd = getPtySlaveFd();
    masterFd_ = findMasterFd(slaveFd);
    displayFd_ = openDisplayFd(slaveFd);
    if (masterFd_ >= 0)
        inputWriter_ = new Writer(masterFd_);
    if (displayFd_ >= 0)
        outputWriter_ = new Writer(displayFd_);

    // The terminal display puts a plain copy of a mouse selection on the PRIMARY itself; once it
    // has done so, the pane takes the PRIMARY over as its holder.
    for (QWidget *child : findChildren<QWidget *>())
        if (child->inherits("Konsole::TerminalDisplay"))
            child->installEventFilter(this);

    connect(this, &QTermWidget::termKeyPressed, this, &TerminalPane::noteKeyPress);

    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this, [this](const QPoint &where) {
        if (popupMenu_)
            popupMenu_->popup(mapToGlobal(where));
    });
}

TerminalPane::~TerminalPane()
{
    delete inputWriter_;
    delete outputWriter_;
    if (displayFd_ >= 0)
        ::close(displayFd_);
}

bool TerminalPane::eventFilter(QObject *watched, QEvent *event)
{
    // Every key but a function key goes to the program in the terminal, also those that the
    // window binds as shortcuts (Ctrl-S, Ctrl-Z, ...).
    if (event->type() == QEvent::ShortcutOverride &&
        !shortcut_is_function_key(static_cast<QKeyEvent *>(event))) {
        event->accept();
        return true;
    }
    if (event->type() == QEvent::MouseButtonRelease || event->type() == QEvent::MouseButtonDblClick)
        QTimer::singleShot(0, this, [this] {
            if (!selectedText(true).isEmpty())
                selection_claim_primary(this);
        });
    return QTermWidget::eventFilter(watched, event);
}

void TerminalPane::setPopupMenu(QMenu *menu)
{
    popupMenu_ = menu;
}

int TerminalPane::shellPid()
{
    return getShellPID();
}

void TerminalPane::typeBytes(const char *bytes, int length)
{
    if (length <= 0)
        return;
    noteTypedBytes(bytes, length);
    if (inputWriter_)
        inputWriter_->write(bytes, length);
    else
        sendText(QString::fromUtf8(bytes, length)); // exact for UTF-8 text only
}

bool TerminalPane::inputUnread()
{
    if (inputWriter_ && !inputWriter_->pending.isEmpty())
        return true;
    // The bytes in the pty's input queue that the program there has not read (in canonical mode
    // those of whole lines only: a half-typed line is told by lineHalfTyped).
    int waiting = 0;
    const int slaveFd = getPtySlaveFd();
    return slaveFd >= 0 && ioctl(slaveFd, FIONREAD, &waiting) == 0 && waiting > 0;
}

void TerminalPane::showBytes(const char *bytes, int length)
{
    if (length <= 0)
        return;
    if (outputWriter_) {
        outputWriter_->write(bytes, length);
        return;
    }
    int fd = getPtySlaveFd();
    while (fd >= 0 && length > 0) {
        ssize_t written = ::write(fd, bytes, static_cast<size_t>(length));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            break;
        bytes += written;
        length -= static_cast<int>(written);
    }
}

QString TerminalPane::wholeQText()
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    saveHistory(&buffer);
    return QString::fromUtf8(buffer.data());
}

std::string TerminalPane::wholeText()
{
    return wholeQText().toStdString();
}

namespace {

// Character offset of (row, column) in the whole text. Rows are counted from the top of the
// history; a line longer than the terminal's width fills several rows.
int offsetOfCell(const QString &whole, int columns, int row, int column)
{
    int lineStart = 0;
    int rowsBefore = 0;
    while (lineStart <= whole.size()) {
        int lineEnd = whole.indexOf(QLatin1Char('\n'), lineStart);
        if (lineEnd < 0)
            lineEnd = whole.size();
        int length = lineEnd - lineStart;
        int rows = length == 0 || columns <= 0 ? 1 : (length + columns - 1) / columns;
        if (row < rowsBefore + rows)
            return qMin(lineStart + (row - rowsBefore) * columns + column, whole.size());
        rowsBefore += rows;
        lineStart = lineEnd + 1;
    }
    return whole.size();
}

// The occurrence of `text` in `whole` nearest to `guess`, or `guess` when there is none.
int nearestOccurrence(const QString &whole, const QString &text, int guess)
{
    if (whole.midRef(guess, text.size()) == text)
        return guess;
    int best = -1;
    for (int at = whole.indexOf(text); at >= 0; at = whole.indexOf(text, at + 1))
        if (best < 0 || qAbs(at - guess) < qAbs(best - guess))
            best = at;
    return best < 0 ? guess : best;
}

} // namespace

bool TerminalPane::selection(std::string *text, int *first, int *last)
{
    QString selected = selectedText(true);
    if (selected.isEmpty()) {
        text->clear();
        *first = *last = -1;
        return false;
    }
    int row = 0, column = 0;
    getSelectionStart(row, column);
    QString whole = wholeQText();
    int start = nearestOccurrence(whole, selected, offsetOfCell(whole, screenColumnsCount(), row, column));
    *text = selected.toStdString();
    *first = whole.leftRef(start).toUtf8().size();
    *last = *first + static_cast<int>(text->size()) - 1;
    return true;
}

std::string TerminalPane::selectedBytes()
{
    std::string text;
    int first = -1, last = -1;
    selection(&text, &first, &last);
    return text;
}

long TerminalPane::selectionFirst()
{
    std::string text;
    int first = -1, last = -1;
    selection(&text, &first, &last);
    return first;
}

long TerminalPane::selectionLast()
{
    std::string text;
    int first = -1, last = -1;
    selection(&text, &first, &last);
    return last;
}

int ttysw_input(TerminalPane *pane, const char *bytes, int length)
{
    if (!pane || !bytes || length <= 0)
        return 0;
    if (activeRecorder) {
        activeRecorder->record(pane, std::string(bytes, static_cast<size_t>(length)));
        if (!activeRecorder->passThrough())
            return length;
    }
    terminalInputTyped(pane, bytes, length);
    pane->typeBytes(bytes, length);
    return length;
}

int ttysw_output(TerminalPane *pane, const char *bytes, int length)
{
    if (!pane || !bytes || length <= 0)
        return 0;
    pane->showBytes(bytes, length);
    return length;
}

TerminalInputRecorder::TerminalInputRecorder(bool passThrough) : passThrough_(passThrough), previous_(activeRecorder)
{
    activeRecorder = this;
}

TerminalInputRecorder::~TerminalInputRecorder()
{
    if (activeRecorder == this)
        activeRecorder = previous_;
}

std::string TerminalInputRecorder::all() const
{
    std::string joined;
    for (const std::string &input : inputs_)
        joined += input;
    return joined;
}

void TerminalInputRecorder::record(TerminalPane *pane, const std::string &bytes)
{
    inputs_.push_back(bytes);
    if (callback_)
        callback_(pane, bytes);
}
