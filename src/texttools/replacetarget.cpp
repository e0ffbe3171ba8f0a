#include "texttools/replacetarget.h"

#include "toolkit/textpane.h"

#include <climits>

ReplaceTarget::ReplaceTarget(TextPane *pane, bool collect) : pane_(pane), collect_(collect) {}

ReplaceTarget::~ReplaceTarget()
{
    flush();
}

long ReplaceTarget::find(long start, const std::string &bytes)
{
    const long length = static_cast<long>(bytes.size());
    if (!collected_.empty()) {
        // Text after the collected replacements is still the pane's own, shifted by growth_.
        const long paneStart = start - growth_;
        if (paneStart >= collected_.back() + replacedLength_) {
            Textsw_index first = paneStart;
            Textsw_index end = textsw_length(pane_);
            const long hit = textsw_find_bytes(pane_, &first, &end, bytes.data(), length, TEXTSW_FORWARD);
            if (hit >= paneStart)
                return hit + growth_;
        }
        flush(); // the search goes on in front of the collected replacements
    }
    Textsw_index first = start;
    Textsw_index end = textsw_length(pane_);
    return textsw_find_bytes(pane_, &first, &end, bytes.data(), length, TEXTSW_FORWARD);
}

bool ReplaceTarget::replace(long position, long length, const std::string &bytes)
{
    if (!collect_)
        return textsw_replace_bytes(pane_, position, position + length, bytes.data(),
                                    static_cast<long>(bytes.size())) >= 0;
    if (!collected_.empty() &&
        (bytes != replacement_ || length != replacedLength_ || position - growth_ < collected_.back() + length))
        flush();
    const long grows = static_cast<long>(bytes.size()) - length;
    const long limit = textsw_memory_limit(pane_);
    const long newLength = textsw_length(pane_) + growth_ + grows;
    if (textsw_read_only(pane_) || newLength > INT_MAX - 1 || (limit > 0 && grows > 0 && newLength > limit))
        return false;
    replacement_ = bytes;
    replacedLength_ = length;
    collected_.push_back(position - growth_);
    growth_ += grows;
    return true;
}

void ReplaceTarget::flush()
{
    if (collected_.empty())
        return;
    const long first = collected_.front();
    const long end = collected_.back() + replacedLength_;
    const char *text = pane_->rangePointer(first, end - first);
    std::string spliced;
    spliced.reserve(static_cast<size_t>(end - first + growth_));
    long from = first;
    for (const long at : collected_) {
        spliced.append(text + (from - first), static_cast<size_t>(at - from));
        spliced += replacement_;
        from = at + replacedLength_;
    }
    collected_.clear();
    growth_ = 0;
    textsw_replace_bytes(pane_, first, end, spliced.data(), static_cast<long>(spliced.size()));
}
