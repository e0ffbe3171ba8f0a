#include "config/dialogfields.h"

#include "toolkit/utf8check.h"

#include <QByteArray>

#include <cstring>

namespace {

bool fitsLatin1(const QString &text)
{
    for (QChar c : text)
        if (c.unicode() > 0xff)
            return false;
    return true;
}

// The first `limit` bytes, or fewer so that no UTF-8 character is cut in two.
QByteArray cut(const QByteArray &bytes, std::size_t limit, bool utf8)
{
    if (static_cast<std::size_t>(bytes.size()) <= limit)
        return bytes;
    std::size_t end = limit;
    if (utf8)
        while (end > 0 && (static_cast<unsigned char>(bytes[static_cast<int>(end)]) & 0xc0) == 0x80)
            --end;
    return bytes.left(static_cast<int>(end));
}

} // namespace

QString fieldText(const char *bytes)
{
    const std::size_t length = std::strlen(bytes);
    if (isValidUtf8(bytes, length))
        return QString::fromUtf8(bytes, static_cast<int>(length));
    return QString::fromLatin1(bytes, static_cast<int>(length));
}

void storeFieldText(char *field, std::size_t capacity, const QString &text)
{
    if (capacity == 0)
        return;
    const bool latin1 = !isValidUtf8(field, std::strlen(field)) && fitsLatin1(text);
    const QByteArray bytes = cut(latin1 ? text.toLatin1() : text.toUtf8(), capacity - 1, !latin1);
    std::memcpy(field, bytes.constData(), static_cast<std::size_t>(bytes.size()));
    field[bytes.size()] = '\0';
}

void storeFlag(char *flags, std::size_t capacity, int index, bool on)
{
    if (index < 0 || static_cast<std::size_t>(index) + 1 >= capacity)
        return;
    std::size_t length = std::strlen(flags);
    for (; length < static_cast<std::size_t>(index); ++length)
        flags[length] = 'n';
    if (length == static_cast<std::size_t>(index))
        flags[index + 1] = '\0';
    flags[index] = on ? 'y' : 'n';
}
