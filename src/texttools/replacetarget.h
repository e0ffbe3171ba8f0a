#pragma once
// Where the replace loop searches and replaces. One by one, each replacement goes straight into
// the pane. Replacing all, the replacements are collected and written into the pane in one
// splice (one copy of the changed stretch, one undo step, one notification), which happens
// whenever a search has to look at text in front of them and at the end.
#include <string>
#include <vector>

class TextPane;

class ReplaceTarget {
public:
    ReplaceTarget(TextPane *pane, bool collect);
    ~ReplaceTarget(); // writes what is still collected
    ReplaceTarget(const ReplaceTarget &) = delete;
    ReplaceTarget &operator=(const ReplaceTarget &) = delete;

    // textsw_find_bytes forward from `start` (going on from the top when the rest of the text
    // has none), positions counted in the text with every replacement made so far.
    long find(long start, const std::string &bytes);
    // Replaces `length` bytes at `position`; false when the pane refuses (read-only, or the
    // text would exceed the pane's memory limit), with nothing changed.
    bool replace(long position, long length, const std::string &bytes);
    void flush();

private:
    TextPane *pane_;
    bool collect_;
    std::string replacement_;         // the text of every collected replacement
    long replacedLength_ = 0;         // how many bytes each collected replacement covers
    std::vector<long> collected_;     // their positions in the pane's (unchanged) text
    long growth_ = 0;                 // how much longer the collected replacements make the text
};
