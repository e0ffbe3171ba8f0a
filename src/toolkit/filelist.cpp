#include "toolkit/filelist.h"

#include "toolkit/directorylisting.h"

#include <QEvent>
#include <QFile>
#include <QKeyEvent>
#include <QListWidget>
#include <QStyle>
#include <QVBoxLayout>

#include <cstring>

// The shown form of a name: decoded for display, control characters (a newline in a name)
// shown as '?' so that every row stays one line.
static QString shownName(const std::string &name)
{
    QString shown = QFile::decodeName(QByteArray::fromStdString(name));
    for (QChar &c : shown)
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char('?');
    return shown;
}

FileList::FileList(const std::string &directory, QWidget *parent) : QWidget(parent), list_(new QListWidget(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list_);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setUniformItemSizes(true);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list_->installEventFilter(this);
    list_->viewport()->installEventFilter(this);
    connect(list_, &QListWidget::itemSelectionChanged, this, [this] { selectionChanged(); });
    connect(list_, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) { clicked(list_->row(item)); });
    connect(list_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *item) { activate(list_->row(item)); });
    setListWidth(width_);
    setDirectory(directory);
}

bool FileList::setDirectory(const std::string &path)
{
    directory_ = normalPath(path);
    return populate();
}

void FileList::setShowHidden(bool show)
{
    showHidden_ = show;
    populate();
}

void FileList::setRows(int rows)
{
    rows_ = rows > 0 ? rows : 1;
    updateHeight();
}

void FileList::setListWidth(int pixels)
{
    width_ = pixels > 0 ? pixels : 1;
    setFixedWidth(width_);
}

std::string FileList::rowName(int row) const
{
    return row >= 0 && row < rowCount() ? entries_[static_cast<size_t>(row)].name : std::string();
}

FileRowType FileList::rowType(int row) const
{
    return row >= 0 && row < rowCount() ? entries_[static_cast<size_t>(row)].type : FileRowType::Message;
}

int FileList::selectedRow() const
{
    const QList<QListWidgetItem *> selected = list_->selectedItems();
    return selected.isEmpty() ? -1 : list_->row(selected.first());
}

bool FileList::populate()
{
    const DirectoryListing listing = readDirectory(directory_, showHidden_);
    entries_.clear();
    if (directory_ != "/")
        entries_.push_back({"..", FileRowType::ParentEntry});
    if (listing.error)
        entries_.push_back({std::string("Cannot read this directory: ") + strerror(listing.error),
                            FileRowType::Message});
    for (const std::string &name : listing.directories)
        entries_.push_back({name, FileRowType::Directory});
    for (const std::string &name : listing.files)
        entries_.push_back({name, FileRowType::File});

    populating_ = true;
    list_->clear();
    QStyle *style = list_->style();
    for (const Entry &entry : entries_) {
        auto *item = new QListWidgetItem(list_);
        switch (entry.type) {
        case FileRowType::ParentEntry:
            item->setIcon(style->standardIcon(QStyle::SP_FileDialogToParent));
            item->setText(QStringLiteral(".."));
            break;
        case FileRowType::Directory:
            item->setIcon(style->standardIcon(QStyle::SP_DirIcon));
            item->setText(shownName(entry.name) + QLatin1Char('/'));
            break;
        case FileRowType::File:
            item->setIcon(style->standardIcon(QStyle::SP_FileIcon));
            item->setText(shownName(entry.name));
            break;
        case FileRowType::Message:
            item->setIcon(style->standardIcon(QStyle::SP_MessageBoxWarning));
            item->setText(QString::fromStdString(entry.name));
            item->setFlags(Qt::ItemIsEnabled); // shown, never selected
            break;
        }
    }
    populating_ = false;
    selectedByPress_ = false;
    updateHeight();
    return listing.error == 0;
}

void FileList::updateHeight()
{
    int rowHeight = list_->count() > 0 ? list_->sizeHintForRow(0) : 0;
    if (rowHeight <= 0)
        rowHeight = list_->fontMetrics().height() + 2;
    const int frame = 2 * list_->frameWidth();
    const int scrollBar = list_->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    setFixedHeight(rows_ * rowHeight + frame + scrollBar);
}

void FileList::activate(int row)
{
    switch (rowType(row)) {
    case FileRowType::ParentEntry:
        moveTo(parentPath(directory_));
        break;
    case FileRowType::Directory:
        moveTo(childPath(directory_, rowName(row)));
        break;
    case FileRowType::File:
        notifyFile(row, FileListNotification::DoubleClick);
        break;
    case FileRowType::Message:
        break;
    }
}

// Moving into a directory that cannot be read still shows it (with its message row and the
// parent entry to come back), so that the list always shows the directory it reports.
void FileList::moveTo(const std::string &path)
{
    setDirectory(path);
    if (changeDir_)
        changeDir_(directory_);
}

void FileList::selectionChanged()
{
    if (populating_)
        return;
    selectedByPress_ = true;
    const int row = selectedRow();
    if (rowType(row) == FileRowType::File)
        notifyFile(row, FileListNotification::Select);
}

// A click on the row that is already selected changes no selection, but is reported too: the
// dialog puts the name back into its field.
void FileList::clicked(int row)
{
    if (!selectedByPress_ && row == selectedRow() && rowType(row) == FileRowType::File)
        notifyFile(row, FileListNotification::Select);
    selectedByPress_ = false;
}

void FileList::notifyFile(int row, FileListNotification kind)
{
    if (notify_) {
        const NotifyProc proc = notify_; // the procedure may replace itself
        proc(rowName(row), kind, row);
    }
}

bool FileList::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == list_->viewport() && event->type() == QEvent::MouseButtonPress)
        selectedByPress_ = false;
    if (watched == list_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (selectedRow() >= 0)
                activate(selectedRow());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
