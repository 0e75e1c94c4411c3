#include "kernel/translations.h"

#include <QtCore/QByteArray>
#include <QtCore/QDataStream>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QSet>
#include <QtCore/QStringList>

#include <limits>
#include <vector>

namespace translations {

namespace {

// The layout QTranslator reads: a magic number, then blocks of a tag byte, a 32-bit big-endian
// length and the data; in the messages, records of tagged fields.
enum Block { Contexts = 0x2f, Hashes = 0x42, Messages = 0x69, Dependencies = 0x96 };
enum Field { End = 1, Translation = 3, Obsolete1 = 5, SourceText = 6, Context = 7, Comment = 8 };
constexpr qint64 MagicLength = 16;
// Deeper chains of dependencies than any translation catalogue has are refused.
constexpr int MaxDepth = 32;

quint32 read32(const uchar *p)
{
    return (quint32(p[0]) << 24) | (quint32(p[1]) << 16) | (quint32(p[2]) << 8) | quint32(p[3]);
}

quint16 read16(const uchar *p)
{
    return quint16((p[0] << 8) | p[1]);
}

struct Span {
    const uchar *data = nullptr;
    qint64 size = 0;
};

// Positions of a block already known to start a sound walk: each position is walked at most
// once, however many table entries lead to it.
class Walked
{
public:
    explicit Walked(qint64 size) : m_seen(size_t(size), false) {}
    bool seen(qint64 pos) const { return m_seen[size_t(pos)]; }
    void mark(const std::vector<qint64> &positions)
    {
        for (qint64 p : positions)
            m_seen[size_t(p)] = true;
    }

private:
    std::vector<bool> m_seen;
};

// The context table: a bucket count, the buckets (16-bit offsets in 2-byte units past them),
// and chains of length-prefixed names ending in a zero length.
bool soundContexts(const Span &c)
{
    if (c.size < 2)
        return false;
    const qint64 buckets = read16(c.data);
    if (buckets == 0 || 2 + 2 * buckets > c.size)
        return false;
    Walked walked(c.size);
    std::vector<qint64> path;
    for (qint64 g = 0; g < buckets; ++g) {
        const quint16 off = read16(c.data + 2 + 2 * g);
        if (!off)
            continue;
        path.clear();
        for (qint64 pos = 2 + 2 * buckets + 2 * qint64(off);;) {
            if (pos >= c.size)
                return false;
            if (walked.seen(pos))
                break;
            path.push_back(pos);
            const quint8 len = c.data[pos];
            if (!len)
                break;
            pos += 1 + len;
        }
        walked.mark(path);
    }
    return true;
}

// A message from `pos` on, as QTranslator reads it: up to its end field, or a field it does not
// know (where it stops reading).
bool soundMessage(const Span &m, qint64 pos, Walked &walked, std::vector<qint64> &path)
{
    path.clear();
    for (;;) {
        if (pos >= m.size || walked.seen(pos))
            break;
        path.push_back(pos);
        const uchar tag = m.data[pos++];
        if (tag == Obsolete1) {
            pos += 4;
            if (pos > m.size)
                return false;
            continue;
        }
        if (tag != Translation && tag != SourceText && tag != Context && tag != Comment)
            break;
        if (m.size - pos < 4)
            return false;
        const quint32 len = read32(m.data + pos);
        pos += 4;
        // A translation's length is signed. lrelease writes a null translation as -1: QtCore
        // steps back one byte and stops at the length's last byte, 0xff, a field it does not
        // know; any other length past 2 GiB would step back further.
        if (tag == Translation && len == 0xffffffffu)
            break;
        // A comment's first byte is read even when it is empty.
        const qint64 needed = (tag == Comment && len == 0) ? 1 : qint64(len);
        if ((tag == Translation && len > 0x7fffffffu) || needed > m.size - pos)
            return false;
        pos += len;
    }
    walked.mark(path);
    return true;
}

// The hash table: 8-byte entries of a hash and a message offset.
bool soundHashes(const Span &h, const Span &m)
{
    if (h.size % 8)
        return false;
    Walked walked(m.size);
    std::vector<qint64> path;
    for (qint64 e = 0; e < h.size; e += 8) {
        const quint32 offset = read32(h.data + e + 4);
        if (qint64(offset) >= m.size || !soundMessage(m, offset, walked, path))
            return false;
    }
    return true;
}

// Dependencies: QString names in QDataStream's form, read as QtCore reads them.
QStringList dependencies(const Span &d)
{
    QStringList names;
    if (!d.data)
        return names;
    QDataStream stream(QByteArray::fromRawData(reinterpret_cast<const char *>(d.data), int(d.size)));
    QString name;
    while (!stream.atEnd()) {
        stream >> name;
        names.append(name);
    }
    return names;
}

class Checker
{
public:
    bool data(const uchar *data, qint64 len, const QString &directory);
    bool file(const QString &path, const QString &directory);

private:
    QSet<QString> m_done;
    QStringList m_open;
};

bool Checker::data(const uchar *data, qint64 len, const QString &directory)
{
    if (!data || len < MagicLength)
        return true;   // QtCore refuses it before reading any block
    Span contexts, hashes, messages, deps;
    for (qint64 pos = MagicLength; pos + 5 < len;) {
        const uchar tag = data[pos];
        const quint32 blockLen = read32(data + pos + 1);
        pos += 5;
        if (!tag || !blockLen)
            break;
        if (blockLen > quint64(len - pos))
            return false;  // QtCore refuses it too
        const Span block{data + pos, qint64(blockLen)};
        switch (tag) {
        case Contexts: contexts = block; break;
        case Hashes: hashes = block; break;
        case Messages: messages = block; break;
        case Dependencies: deps = block; break;
        default: break;
        }
        pos += blockLen;
    }
    if (contexts.data && !soundContexts(contexts))
        return false;
    if (hashes.data && !soundHashes(hashes, messages))
        return false;
    // QtCore would read a longer block of names with a negative size.
    if (deps.size > std::numeric_limits<int>::max())
        return false;
    for (const QString &name : dependencies(deps)) {
        const QString path = find(name, directory, QString(), QString());
        if (path.isEmpty() || !file(path, directory))
            return false;
    }
    return true;
}

bool Checker::file(const QString &path, const QString &directory)
{
    const QString key = QFileInfo(path).absoluteFilePath();
    if (m_done.contains(key))
        return true;
    if (m_open.contains(key) || m_open.size() >= MaxDepth)
        return false;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    // QtCore reads no file of 4 GiB or more.
    const qint64 size = f.size();
    if (size >= qint64(0xffffffffu))
        return true;
    QByteArray copy;
    const uchar *data = size > 0 ? f.map(0, size) : nullptr;
    qint64 len = size;
    if (!data) {
        copy = f.readAll();
        data = reinterpret_cast<const uchar *>(copy.constData());
        len = copy.size();
    }
    m_open.append(key);
    const bool good = this->data(data, len, directory);
    m_open.removeLast();
    if (good)
        m_done.insert(key);
    return good;
}

} // namespace

QString find(const QString &filename, const QString &directory, const QString &delimiters,
             const QString &suffix)
{
    QString prefix;
    if (QFileInfo(filename).isRelative()) {
        prefix = directory;
        if (!prefix.isEmpty() && !prefix.endsWith(QLatin1Char('/')))
            prefix += QLatin1Char('/');
    }
    const QString ending = suffix.isNull() ? QStringLiteral(".qm") : suffix;
    const QString delims = delimiters.isNull() ? QStringLiteral("_.") : delimiters;
    QString name = filename;
    for (;;) {
        for (const QString &candidate : {prefix + name + ending, prefix + name}) {
            const QFileInfo fi(candidate);
            if (fi.isReadable() && fi.isFile())
                return candidate;
        }
        int rightmost = 0;
        for (const QChar d : delims)
            rightmost = qMax(rightmost, name.lastIndexOf(d));
        if (rightmost == 0)
            return QString();
        name.truncate(rightmost);
    }
}

bool sound(const uchar *data, qint64 len, const QString &directory)
{
    return Checker().data(data, len, directory);
}

bool soundFile(const QString &path, const QString &directory)
{
    return Checker().file(path, directory);
}

} // namespace translations
