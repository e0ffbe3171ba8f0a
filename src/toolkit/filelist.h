#pragma once
// A list of one directory's entries for the open and save-as dialogs: a parent entry (".."),
// the directories, then the files, each group sorted by name. It moves into a directory by
// itself on double-click or Return and reports every move with the new path; it reports
// notifications on file rows (select, double-click) with the row's name.
//
// Names and paths are kept as the bytes the file system holds (any characters, not
// necessarily UTF-8); only the shown text is decoded.
//
// A notification procedure may destroy the list, but only with deleteLater(): the list is
// still inside its own event handling when it calls out.

#include <QWidget>

#include <functional>
#include <string>
#include <vector>

class QListWidget;

enum class FileRowType { ParentEntry, Directory, File, Message };
enum class FileListNotification { Select, DoubleClick };

class FileList : public QWidget {
    Q_OBJECT
public:
    // Called for file rows only: the row's name (relative to directory()), the kind, the row.
    using NotifyProc = std::function<void(const std::string &name, FileListNotification kind, int row)>;
    // Called after the list has moved to another directory by itself, with that directory's path.
    using ChangeDirProc = std::function<void(const std::string &path)>;

    explicit FileList(const std::string &directory = ".", QWidget *parent = nullptr);

    // Shows the directory (a relative path counts from the working directory). No change is
    // reported. Returns false when it cannot be read: the list then shows a message row.
    bool setDirectory(const std::string &path);
    const std::string &directory() const { return directory_; } // absolute, without "." or ".."

    void setShowHidden(bool show); // names beginning with a dot; re-reads the directory
    bool showHidden() const { return showHidden_; }

    void setRows(int rows); // visible rows
    int rows() const { return rows_; }
    void setListWidth(int pixels);
    int listWidth() const { return width_; }

    void setNotifyProc(NotifyProc proc) { notify_ = std::move(proc); }
    void setChangeDirProc(ChangeDirProc proc) { changeDir_ = std::move(proc); }

    int rowCount() const { return static_cast<int>(entries_.size()); }
    std::string rowName(int row) const; // exact bytes; "" for a row that does not exist
    FileRowType rowType(int row) const; // Message for a row that does not exist
    int selectedRow() const;            // -1 when no row is selected

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Entry {
        std::string name;
        FileRowType type;
    };

    bool populate(); // false when the directory cannot be read
    void updateHeight();
    void activate(int row);
    void moveTo(const std::string &path);
    void selectionChanged();
    void clicked(int row);
    void notifyFile(int row, FileListNotification kind);

    QListWidget *list_;
    std::string directory_ = "/";
    std::vector<Entry> entries_;
    bool showHidden_ = false;
    int rows_ = 10;
    int width_ = 200;
    bool populating_ = false;
    bool selectedByPress_ = false; // the last mouse press already reported its row
    NotifyProc notify_;
    ChangeDirProc changeDir_;
};
