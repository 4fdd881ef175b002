#include "platform/RegistryText.h"

#include <QList>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <cstdint>
#include <utility>

namespace tolvane::platform::regtext {

namespace {

// regedit keeps hex lines within about 80 columns.
constexpr qsizetype wrapColumn = 77;

constexpr QByteArrayView headerVersion4 = "REGEDIT4";
constexpr QByteArrayView headerVersion5 = "Windows Registry Editor Version 5.00";
constexpr QByteArrayView rootKey = "HKEY_CURRENT_USER";
constexpr QByteArrayView utf8Bom = "\xEF\xBB\xBF";
constexpr QByteArrayView utf16LeBom = "\xFF\xFE";

Entry textEntry(QByteArray raw)
{
    Entry entry;
    entry.raw = std::move(raw);
    return entry;
}

QByteArrayView stripBackslashes(QByteArrayView path)
{
    while (path.startsWith('\\'))
        path = path.sliced(1);
    while (path.endsWith('\\'))
        path.chop(1);
    return path;
}

bool hasLineBreakOrZero(QByteArrayView text)
{
    return text.contains('\n') || text.contains('\r') || text.contains('\0');
}

bool isHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

std::optional<std::uint32_t> parseHexNumber(QByteArrayView digits, qsizetype maxDigits)
{
    if (digits.isEmpty() || digits.size() > maxDigits)
        return std::nullopt;
    if (!std::all_of(digits.begin(), digits.end(), isHexDigit))
        return std::nullopt; // toUInt would also take signs, spaces and "0x"
    return digits.toUInt(nullptr, 16);
}

bool startsWithNoCase(QByteArrayView text, QByteArrayView prefix)
{
    return text.size() >= prefix.size() &&
           text.first(prefix.size()).compare(prefix, Qt::CaseInsensitive) == 0;
}

qsizetype skipSpaces(QByteArrayView text, qsizetype i)
{
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    return i;
}

struct QuotedText {
    QByteArray text;
    qsizetype end; // index after the closing quote
};

// A quoted name or string starting at text[start]; \\ and \" are the escapes.
std::optional<QuotedText> parseQuoted(QByteArrayView text, qsizetype start)
{
    QByteArray result;
    for (qsizetype i = start + 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"')
            return QuotedText{result, i + 1};
        if (c == '\\' && i + 1 < text.size() && (text[i + 1] == '\\' || text[i + 1] == '"'))
            ++i;
        result += text[i];
    }
    return std::nullopt;
}

QByteArray quoted(QByteArrayView text)
{
    QByteArray result = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"')
            result += '\\';
        result += c;
    }
    return result + '"';
}

std::optional<QByteArray> parseHexList(QByteArrayView list)
{
    QByteArray bytes;
    if (list.trimmed().isEmpty())
        return bytes;
    QList<QByteArray> items = list.toByteArray().split(',');
    if (items.size() > 1 && items.last().trimmed().isEmpty())
        items.removeLast(); // a comma before the line break that ended the list
    bytes.reserve(items.size());
    for (const QByteArray& item : std::as_const(items)) {
        const auto byte = parseHexNumber(item.trimmed(), 2);
        if (!byte)
            return std::nullopt;
        bytes += static_cast<char>(*byte);
    }
    return bytes;
}

QByteArray littleEndian(std::uint32_t number)
{
    QByteArray bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<char>((number >> (8 * i)) & 0xFF);
    return bytes;
}

std::uint32_t fromLittleEndian(const QByteArray& bytes)
{
    std::uint32_t number = 0;
    for (int i = 3; i >= 0; --i)
        number = (number << 8) | static_cast<std::uint8_t>(bytes[i]);
    return number;
}

// A text is written in quotes only when reading the quotes gives back the very same bytes.
bool fitsInQuotes(const RegistryValue& value)
{
    if (value.type != RegSz || value.data.isEmpty() || value.data.back() != '\0')
        return false;
    const QByteArrayView text = QByteArrayView(value.data).chopped(1);
    for (char c : text) {
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t')
            return false;
    }
    return QString::fromUtf8(text).toUtf8() == text;
}

// The text after the '=' of a value line; hex lists wrap onto indented lines like regedit's.
QByteArray formatData(const RegistryValue& value, qsizetype column, const QByteArray& eol)
{
    if (value.type == RegDword && value.data.size() == 4)
        return "dword:" +
               QByteArray::number(fromLittleEndian(value.data), 16).rightJustified(8, '0');
    if (fitsInQuotes(value))
        return quoted(QByteArrayView(value.data).chopped(1));

    QByteArray text = value.type == RegBinary ? QByteArray("hex:")
                                              : "hex(" + QByteArray::number(value.type, 16) + "):";
    column += text.size();
    const QByteArray hex = value.data.toHex();
    for (qsizetype i = 0; i < value.data.size(); ++i) {
        text += QByteArrayView(hex).sliced(2 * i, 2);
        if (i + 1 == value.data.size())
            break;
        text += ',';
        column += 3;
        if (column >= wrapColumn) {
            text += "\\" + eol + "  ";
            column = 2;
        }
    }
    return text;
}

QByteArray formatName(const QByteArray& name)
{
    return (name.isEmpty() ? QByteArray("@") : quoted(name)) + '=';
}

// The physical lines of a text, each with and without its line end.
class LineReader {
public:
    explicit LineReader(QByteArrayView text)
        : m_text(text)
    {
    }

    struct Line {
        QByteArrayView raw;
        QByteArrayView content;
    };

    std::optional<Line> next()
    {
        if (m_pos >= m_text.size())
            return std::nullopt;
        ++m_number;
        const qsizetype newline = m_text.indexOf('\n', m_pos);
        const qsizetype end = newline < 0 ? m_text.size() : newline + 1;
        Line line{m_text.sliced(m_pos, end - m_pos), m_text.sliced(m_pos, end - m_pos)};
        if (line.content.endsWith('\n'))
            line.content.chop(1);
        if (line.content.endsWith('\r'))
            line.content.chop(1);
        m_pos = end;
        return line;
    }

    // The line that next() will give, without moving on.
    std::optional<Line> peek() const
    {
        LineReader ahead = *this;
        return ahead.next();
    }

    // The number of the line that next() gave last, counted from 1.
    qsizetype number() const { return m_number; }

private:
    QByteArrayView m_text;
    qsizetype m_pos = 0;
    qsizetype m_number = 0;
};

// Whether a line can go on a hex list: bytes, commas and perhaps a backslash. Anything else, a
// section or the next value, is not swallowed by a list cut off before it.
bool continuesHexList(QByteArrayView content)
{
    const QByteArrayView text = content.trimmed();
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](char c) {
        return isHexDigit(c) || c == ',' || c == '\\' || c == ' ' || c == '\t';
    });
}

// The data of a value line after its '='; hex lists may continue on further lines, which are
// taken from the reader. The entry's raw text covers every line used, read or not.
bool parseValueData(const LineReader::Line& first, QByteArrayView data, LineReader& lines,
                    Entry& entry)
{
    QByteArrayView last = first.raw;
    const auto parsed = [&]() -> std::optional<RegistryValue> {
        if (data.startsWith('"')) {
            const auto text = parseQuoted(data, 0);
            if (!text || !data.sliced(text->end).trimmed().isEmpty())
                return std::nullopt;
            return RegistryValue{RegSz, text->text + '\0'};
        }
        if (startsWithNoCase(data, "dword:")) {
            const auto number = parseHexNumber(data.sliced(6).trimmed(), 8);
            if (!number)
                return std::nullopt;
            return RegistryValue{RegDword, littleEndian(*number)};
        }
        if (!startsWithNoCase(data, "hex")) // deletion lines ("name"=-) are requests, not a state
            return std::nullopt;
        std::uint32_t type = RegBinary;
        qsizetype listStart = 4;
        if (startsWithNoCase(data, "hex(")) {
            const qsizetype close = data.indexOf(')');
            const auto number =
                close < 0 ? std::nullopt : parseHexNumber(data.sliced(4, close - 4), 8);
            if (!number || close + 1 >= data.size() || data[close + 1] != ':')
                return std::nullopt;
            type = *number;
            listStart = close + 2;
        } else if (!startsWithNoCase(data, "hex:")) {
            return std::nullopt;
        }
        QByteArray list;
        QByteArrayView part = data.sliced(listStart).trimmed();
        while (part.endsWith('\\')) {
            list += part.chopped(1);
            const auto next = lines.peek();
            if (!next || !continuesHexList(next->content)) // a value cut off
                return std::nullopt;
            lines.next();
            last = next->raw;
            part = next->content.trimmed();
        }
        list += part;
        const auto bytes = parseHexList(list);
        if (!bytes)
            return std::nullopt;
        return RegistryValue{type, *bytes};
    }();
    entry.raw = QByteArrayView(first.raw.data(), last.data() + last.size() - first.raw.data())
                    .toByteArray();
    if (!parsed)
        return false;
    entry.value = *parsed;
    return true;
}

bool parseValue(const LineReader::Line& line, LineReader& lines, Entry& entry)
{
    const QByteArrayView content = line.content;
    qsizetype i = skipSpaces(content, 0);
    if (content[i] == '@') {
        ++i;
    } else if (content[i] != '"') {
        return false;
    } else {
        const auto name = parseQuoted(content, i);
        if (!name)
            return false;
        entry.name = foldCase(name->text);
        i = name->end;
    }
    i = skipSpaces(content, i);
    if (i >= content.size() || content[i] != '=')
        return false;
    entry.prefixLength = i + 1;
    entry.kind = Entry::Kind::Value;
    return parseValueData(line, content.sliced(skipSpaces(content, i + 1)), lines, entry);
}

bool parseSection(QByteArrayView content, Entry& entry)
{
    if (!content.endsWith(']'))
        return false;
    const QByteArrayView path = content.sliced(1, content.size() - 2);
    if (path.startsWith('-')) // a request to delete the key
        return false;
    const qsizetype slash = path.indexOf('\\');
    const QByteArrayView root = slash < 0 ? path : path.first(slash);
    if (root.isEmpty())
        return false;
    entry.kind = Entry::Kind::Section;
    entry.ours = root.compare(rootKey, Qt::CaseInsensitive) == 0;
    if (entry.ours)
        entry.key = foldCase(stripBackslashes(path.sliced(root.size())));
    return true;
}

struct DecodedText {
    QByteArray utf8;
    Encoding encoding;
};

// regedit 5 exports UTF-16LE with a byte order mark; we parse UTF-8 and convert back on writing.
std::optional<DecodedText> decodeText(const QByteArray& bytes)
{
    if (bytes.startsWith(utf16LeBom)) {
        if (bytes.size() % 2 != 0)
            return std::nullopt;
        QStringDecoder decoder(QStringDecoder::Utf16LE, QStringDecoder::Flag::ConvertInitialBom);
        const QString text = decoder(QByteArrayView(bytes).sliced(utf16LeBom.size()));
        QStringEncoder encoder(QStringEncoder::Utf8);
        QByteArray utf8 = encoder(text);
        if (decoder.hasError() || encoder.hasError())
            return std::nullopt;
        // A lone surrogate does not survive the way through UTF-8, so the file would not be
        // written back as it was: such a file is not ours to rewrite.
        QStringEncoder back(QStringEncoder::Utf16LE);
        if (QByteArray(back(QString::fromUtf8(utf8))) != bytes.sliced(utf16LeBom.size()))
            return std::nullopt;
        return DecodedText{utf8, Encoding::Utf16Le};
    }
    if (bytes.startsWith(utf8Bom))
        return DecodedText{bytes.sliced(utf8Bom.size()), Encoding::Utf8WithBom};
    return DecodedText{bytes, Encoding::Utf8};
}

QByteArray encodeText(const Document& document, const QByteArray& utf8)
{
    switch (document.encoding) {
    case Encoding::Utf8WithBom:
        return utf8Bom.toByteArray() + utf8;
    case Encoding::Utf16Le: {
        QStringEncoder encoder(QStringEncoder::Utf16LE);
        return utf16LeBom.toByteArray() + QByteArray(encoder(QString::fromUtf8(utf8)));
    }
    case Encoding::Utf8:
        break;
    }
    return utf8;
}

void appendText(Document& document, QByteArrayView raw)
{
    // Runs of comments and blank lines are kept as one entry; they are never edited.
    if (!document.entries.empty() && document.entries.back().kind == Entry::Kind::Text)
        document.entries.back().raw += raw;
    else
        document.entries.push_back(textEntry(raw.toByteArray()));
}

void endWithLineBreak(Document& document, Entry& entry)
{
    if (!entry.raw.endsWith('\n'))
        entry.raw += document.eol;
}

// Index of the last line of the key's last section: a new value goes right after it.
std::optional<std::size_t> endOfKey(const Document& document, const QByteArray& key)
{
    std::optional<std::size_t> end;
    for (std::size_t i = 0; i < document.entries.size(); ++i) {
        const Entry& entry = document.entries[i];
        if (entry.kind != Entry::Kind::Text && entry.ours && entry.key == key)
            end = i;
    }
    return end;
}

} // namespace
QByteArray foldCase(QByteArrayView text)
{
    return text.toByteArray().toLower(); // ASCII only, as the registry compares names
}

// The key path as written into a section header, or nothing when it cannot name a key.
std::optional<QByteArray> keyPathText(const QString& keyPath)
{
    const QByteArray utf8 = keyPath.toUtf8();
    const QByteArrayView path = stripBackslashes(utf8);
    if (path.contains(QByteArrayView("\\\\")) || hasLineBreakOrZero(path))
        return std::nullopt;
    return path.toByteArray();
}

std::optional<QByteArray> valueNameText(const QString& name)
{
    QByteArray utf8 = name.toUtf8();
    if (hasLineBreakOrZero(utf8))
        return std::nullopt;
    return utf8;
}

Document parseDocument(const QByteArray& bytes)
{
    Document document;
    if (bytes.isEmpty())
        return document; // nothing to lose: treated like a missing file
    const auto decoded = decodeText(bytes);
    if (!decoded) {
        document.wrongLines.push_back(WrongLine{});
        return document;
    }
    document.encoding = decoded->encoding;

    LineReader lines(decoded->utf8);
    const auto header = lines.peek();
    if (!header)
        document.wrongLines.push_back(WrongLine{1, {}}); // a byte order mark alone
    else if (header->raw.endsWith("\r\n"))
        document.eol = "\r\n";

    Entry section; // the current section header: its values take its key
    bool inSection = false;
    while (const auto line = lines.next()) {
        // A value continued on further lines is wrong from its first line on.
        const qsizetype number = lines.number();
        const auto wrong = [&] {
            if (document.wrongLines.empty() || document.wrongLines.back().number != number)
                document.wrongLines.push_back(WrongLine{number, line->content.toByteArray()});
        };
        const QByteArrayView content = line->content.trimmed();
        if (number == 1) {
            if (content == headerVersion4 || content == headerVersion5) {
                appendText(document, line->raw);
                continue;
            }
            wrong(); // no header; what follows is still read
        }
        if (line->raw.contains('\0')) {
            wrong();
            appendText(document, line->raw);
            continue;
        }
        if (content.isEmpty() || content.startsWith(';')) {
            appendText(document, line->raw);
            continue;
        }
        Entry entry;
        if (content.startsWith('[')) {
            // The values below a section that cannot be read belong to no key we know.
            if (!parseSection(content, entry)) {
                wrong();
                entry = Entry{};
                entry.kind = Entry::Kind::Section;
            }
            entry.raw = line->raw.toByteArray();
            section = entry;
            inSection = true;
            document.entries.push_back(std::move(entry));
            continue;
        }
        const bool read = inSection && parseValue(*line, lines, entry);
        if (!read) {
            wrong();
            if (entry.kind != Entry::Kind::Value) {
                appendText(document, line->raw);
                continue;
            }
            entry.unreadable = true;
        }
        entry.ours = section.ours;
        entry.key = section.key;
        document.entries.push_back(std::move(entry));
    }
    return document;
}

bool keyIn(const Document& document, const QByteArray& key)
{
    const QByteArray below = key + '\\';
    for (const Entry& entry : document.entries) {
        if (entry.kind == Entry::Kind::Section && entry.ours &&
            (key.isEmpty() || entry.key == key || entry.key.startsWith(below)))
            return true;
    }
    return false;
}

// The value's entry; when a file names a value twice, the later line wins, as on import.
const Entry* findValue(const Document& document, const QByteArray& key, const QByteArray& name)
{
    const Entry* found = nullptr;
    for (const Entry& entry : document.entries) {
        if (entry.kind == Entry::Kind::Value && entry.ours && entry.key == key &&
            entry.name == name)
            found = &entry;
    }
    return found;
}

// Appends "[HKEY_CURRENT_USER\path]" at the end of the file, after a blank line.
void appendSection(Document& document, const QByteArray& path)
{
    if (document.entries.empty())
        document.entries.push_back(textEntry(headerVersion4.toByteArray() + document.eol));
    Entry& last = document.entries.back();
    endWithLineBreak(document, last);
    if (!last.raw.endsWith(QByteArray(document.eol + document.eol)) &&
        !last.raw.trimmed().isEmpty())
        appendText(document, document.eol);
    Entry section;
    section.kind = Entry::Kind::Section;
    section.ours = true;
    section.key = foldCase(path);
    section.raw =
        '[' + rootKey.toByteArray() + (path.isEmpty() ? "" : "\\") + path + ']' + document.eol;
    document.entries.push_back(std::move(section));
}

void writeValue(Document& document, const QByteArray& path, const QByteArray& name,
                const RegistryValue& value)
{
    const QByteArray key = foldCase(path);
    const QByteArray foldedName = foldCase(name);
    for (auto it = document.entries.rbegin(); it != document.entries.rend(); ++it) {
        Entry& entry = *it;
        if (entry.kind != Entry::Kind::Value || !entry.ours || entry.key != key ||
            entry.name != foldedName)
            continue;
        // Keep the name as the file spells it and the line end the line had.
        const QByteArray prefix = entry.raw.first(entry.prefixLength);
        const QByteArray lineEnd = entry.raw.endsWith("\r\n") ? QByteArray("\r\n")
                                   : entry.raw.endsWith('\n') ? QByteArray("\n")
                                                              : QByteArray();
        entry.raw = prefix + formatData(value, prefix.size(), document.eol) + lineEnd;
        entry.value = value;
        return;
    }

    auto end = endOfKey(document, key);
    if (!end) {
        appendSection(document, path);
        end = document.entries.size() - 1;
    }
    endWithLineBreak(document, document.entries[*end]);
    Entry entry;
    entry.kind = Entry::Kind::Value;
    entry.ours = true;
    entry.key = key;
    entry.name = foldedName;
    const QByteArray prefix = formatName(name);
    entry.prefixLength = prefix.size();
    entry.raw = prefix + formatData(value, prefix.size(), document.eol) + document.eol;
    entry.value = value;
    document.entries.insert(document.entries.begin() + static_cast<std::ptrdiff_t>(*end) + 1,
                            std::move(entry));
}

QByteArray serialize(const Document& document)
{
    QByteArray text;
    for (const Entry& entry : document.entries)
        text += entry.raw;
    return encodeText(document, text);
}

} // namespace tolvane::platform::regtext
