#include "widgets/ChunkCodec.h"

#include "widgets/StoredForm.h"

#include <QCoreApplication>

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

namespace tolvane::chunk {

namespace {

constexpr int itemsPerGroup = 16;
constexpr int minReference = 3;
constexpr int maxReference = 18;
constexpr int maxDistance = 4095;
constexpr int minRun = 16;
constexpr int maxRun = 4095 + minRun;

void checkRoom(qsizetype expanded, qsizetype count)
{
    if (expanded + count > maxExpandedSize)
        throw EReadError(
            QCoreApplication::translate("ChunkCodec",
                                        "A compressed bitmap chunk expands to more than %1 bytes")
                .arg(maxExpandedSize));
}

QByteArray expandCompressed(ByteReader in)
{
    QByteArray out;
    out.reserve(maxExpandedSize);
    quint16 control = 0;
    int itemsLeft = 0;
    while (!in.atEnd()) {
        if (itemsLeft == 0) {
            const quint8 high = in.u8("a control word");
            control = quint16(high << 8 | in.u8("a control word"));
            itemsLeft = itemsPerGroup;
            continue;
        }
        const bool reference = control & 0x8000;
        control = quint16(control << 1);
        --itemsLeft;
        if (!reference) {
            checkRoom(out.size(), 1);
            out.append(char(in.u8("a literal")));
            continue;
        }
        const quint8 b0 = in.u8("a back reference");
        const quint8 b1 = in.u8("a back reference");
        const qsizetype distance = b0 * 16 + (b1 >> 4);
        if (distance == 0) {
            const quint8 b2 = in.u8("a run");
            const char value = char(in.u8("a run"));
            const qsizetype count = b1 * 256 + b2 + minRun;
            checkRoom(out.size(), count);
            out.append(count, value);
            continue;
        }
        if (distance > out.size())
            throw EReadError(
                QCoreApplication::translate("ChunkCodec",
                                            "A compressed bitmap chunk refers %1 bytes back with "
                                            "only %2 bytes expanded")
                    .arg(distance)
                    .arg(out.size()));
        const qsizetype count = (b1 & 15) + minReference;
        checkRoom(out.size(), count);
        // Byte by byte: a reference may overlap the bytes it produces.
        for (qsizetype i = 0; i < count; ++i)
            out.append(out.at(out.size() - distance));
    }
    return out;
}

qsizetype runLength(QByteArrayView in, qsizetype pos)
{
    const qsizetype limit = std::min<qsizetype>(in.size(), pos + maxRun);
    qsizetype end = pos + 1;
    while (end < limit && in[end] == in[pos])
        ++end;
    return end - pos;
}

struct Match {
    qsizetype distance = 0;
    qsizetype length = 0;
};

// Finds earlier occurrences of the bytes at a position through chains of the positions that
// share their first three bytes' hash, nearest first.
class MatchFinder {
public:
    explicit MatchFinder(QByteArrayView in)
        : m_in(in)
        , m_previous(std::size_t(in.size()), -1)
    {
        m_head.fill(-1);
    }

    // Makes the position available to later matches.
    void insert(qsizetype pos)
    {
        if (pos + minReference > m_in.size())
            return;
        qsizetype& head = m_head[hash(pos)];
        m_previous[std::size_t(pos)] = head;
        head = pos;
    }

    Match longest(qsizetype pos) const
    {
        Match best;
        if (pos + minReference > m_in.size())
            return best;
        const qsizetype limit = std::min<qsizetype>(maxReference, m_in.size() - pos);
        qsizetype candidate = m_head[hash(pos)];
        for (int step = 0; candidate >= 0 && pos - candidate <= maxDistance && step < chainLimit &&
                           best.length < limit;
             ++step, candidate = m_previous[std::size_t(candidate)]) {
            qsizetype length = 0;
            // Reading on past pos is what an overlapping reference copies.
            while (length < limit && m_in[pos + length] == m_in[candidate + length])
                ++length;
            if (length > best.length)
                best = {pos - candidate, length};
        }
        return best;
    }

private:
    static constexpr int hashBits = 15;
    static constexpr int chainLimit = 256;

    std::size_t hash(qsizetype pos) const
    {
        const auto byte = [this, pos](qsizetype i) { return std::size_t(quint8(m_in[pos + i])); };
        return (byte(0) << 10 ^ byte(1) << 5 ^ byte(2)) & ((1u << hashBits) - 1);
    }

    QByteArrayView m_in;
    std::vector<qsizetype> m_previous;
    std::array<qsizetype, 1u << hashBits> m_head;
};

// Collects the items of a compressed chunk with their control words.
class GroupWriter {
public:
    explicit GroupWriter(QByteArray& out)
        : m_out(out)
    {
    }

    void literal(char byte)
    {
        startItem(false);
        m_out.append(byte);
    }

    void reference(qsizetype distance, qsizetype length)
    {
        startItem(true);
        m_out.append(char(distance >> 4));
        m_out.append(char((distance & 15) << 4 | (length - minReference)));
    }

    void run(char byte, qsizetype count)
    {
        const qsizetype n = count - minRun;
        startItem(true);
        m_out.append(char(0));
        m_out.append(char(n >> 8));
        m_out.append(char(n & 0xff));
        m_out.append(byte);
    }

private:
    void startItem(bool reference)
    {
        if (m_items == itemsPerGroup) {
            m_control = m_out.size();
            m_out.append(2, char(0));
            m_items = 0;
        }
        if (reference) {
            const int bit = itemsPerGroup - 1 - m_items;
            const qsizetype byte = m_control + (bit < 8 ? 1 : 0);
            m_out[byte] = char(quint8(m_out[byte]) | 1 << (bit % 8));
        }
        ++m_items;
    }

    QByteArray& m_out;
    qsizetype m_control = 0;
    int m_items = itemsPerGroup;
};

} // namespace

QByteArray expand(QByteArrayView chunk)
{
    ByteReader in(chunk);
    const char method = char(in.u8("the method of a bitmap chunk"));
    if (method == stored) {
        checkRoom(0, in.remaining());
        return in.bytes(in.remaining(), "a stored chunk").toByteArray();
    }
    if (method == compressed)
        return expandCompressed(in);
    throw EReadError(
        QCoreApplication::translate("ChunkCodec", "A bitmap chunk has the unknown method 0x%1")
            .arg(quint8(method), 2, 16, QLatin1Char('0')));
}

QByteArray compress(QByteArrayView block)
{
    Q_ASSERT(block.size() <= blockSize);
    QByteArray out(1, compressed);
    GroupWriter writer(out);
    const auto finder = std::make_unique<MatchFinder>(block);
    for (qsizetype pos = 0; pos < block.size();) {
        const qsizetype run = runLength(block, pos);
        const Match match = finder->longest(pos);
        qsizetype length = 1;
        if (run >= minRun && run > match.length) {
            writer.run(block[pos], run);
            length = run;
        } else if (match.length >= minReference) {
            writer.reference(match.distance, match.length);
            length = match.length;
        } else {
            writer.literal(block[pos]);
        }
        for (const qsizetype end = pos + length; pos < end; ++pos)
            finder->insert(pos);
    }
    if (out.size() <= block.size())
        return out;
    QByteArray plain(1, stored);
    plain.append(block.data(), block.size());
    return plain;
}

} // namespace tolvane::chunk
