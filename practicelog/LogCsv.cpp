#include "practicelog/LogCsv.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>
#include <string_view>

namespace tolvane::practicelog {

namespace {

// The columns in the order written; columnNames spells them.
// clang-format off
enum Column {
    Started, ExerciseColumn, Type, RatioColumn, Puraka, Abhyantara, Rechaka, Bahya, RoundsPlanned,
    KevaliMinutes, KevaliStartBreath, Delay, PlannedSeconds, ElapsedSeconds, RoundsDone,
    EndedColumn, RatingColumn, RoundSecondsAfter, columnCount
};

constexpr std::array<std::string_view, columnCount> columnNames{
    "started", "exercise", "type", "ratio", "puraka", "abhyantara", "rechaka", "bahya",
    "rounds_planned", "kevali_minutes", "kevali_start_breath", "delay", "planned_seconds",
    "elapsed_seconds", "rounds_done", "ended", "rating", "round_seconds_after"};
// clang-format on

constexpr std::array<std::string_view, 2> exerciseNames{"Pranayama", "Kevali"};
constexpr std::array<std::string_view, 3> holdsNames{"none", "one", "two"};
constexpr std::array<std::string_view, 3> ratioNames{"1:4:2:2", "1:1:1:1", "free"};
constexpr std::array<std::string_view, 3> endedNames{"end", "stop", "close"};
constexpr std::array<std::string_view, 3> ratingNames{"easy", "slightly difficult", "difficult"};

constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

// Writing

template <typename Enum, std::size_t N>
std::string_view nameOf(Enum value, const std::array<std::string_view, N>& names)
{
    return names[static_cast<std::size_t>(value)];
}

class LineWriter {
public:
    void text(std::string_view value)
    {
        separate();
        m_line.append(value.data(), qsizetype(value.size()));
    }
    void number(std::int64_t value)
    {
        separate();
        m_line += QByteArray::number(value);
    }
    template <typename T> void optional(const std::optional<T>& value)
    {
        if (value)
            number(*value);
        else
            separate();
    }
    template <typename Enum, std::size_t N>
    void optional(const std::optional<Enum>& value, const std::array<std::string_view, N>& names)
    {
        if (value)
            text(nameOf(*value, names));
        else
            separate();
    }
    // Whole milliseconds, without trailing zeros: 700, 6.003.
    void seconds(double value)
    {
        // Room for the largest double in full.
        std::array<char, 400> digits{};
        const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), value,
                                       std::chars_format::fixed, 3)
                             .ptr;
        std::string_view shown(digits.data(), std::size_t(end - digits.data()));
        while (shown.ends_with('0'))
            shown.remove_suffix(1);
        if (shown.ends_with('.'))
            shown.remove_suffix(1);
        text(shown == "-0" ? std::string_view("0") : shown);
    }
    QByteArray finish() { return m_line + "\r\n"; }

private:
    void separate()
    {
        if (m_fields++ > 0)
            m_line += ',';
    }

    QByteArray m_line;
    int m_fields = 0;
};

QByteArray stampText(const LocalStamp& stamp)
{
    const int offset = stamp.utcOffsetSeconds;
    const int offsetMinutes = std::abs(offset) / 60;
    std::array<char, 48> text{};
    const int length = std::snprintf(
        text.data(), text.size(), "%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d", stamp.date.year(),
        stamp.date.month(), stamp.date.day(), stamp.secondOfDay / 3600, stamp.secondOfDay / 60 % 60,
        stamp.secondOfDay % 60, offset < 0 ? '-' : '+', offsetMinutes / 60, offsetMinutes % 60);
    return QByteArray(text.data(), length);
}

// Reading

template <typename Enum, std::size_t N>
std::optional<Enum> named(std::string_view text, const std::array<std::string_view, N>& names)
{
    for (std::size_t i = 0; i < N; ++i) {
        if (names[i] == text)
            return static_cast<Enum>(i);
    }
    return std::nullopt;
}

std::optional<int> integer(std::string_view text)
{
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<double> seconds(std::string_view text)
{
    double value = 0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
        !std::isfinite(value))
        return std::nullopt;
    return value;
}

// n decimal digits at position at, or -1.
int digits(std::string_view text, std::size_t at, std::size_t n)
{
    if (at + n > text.size())
        return -1;
    int value = 0;
    for (std::size_t i = at; i < at + n; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

// ISO 8601 local time with its offset: 2026-12-08T07:15:04+01:00, a fraction of a second and the
// forms Z and +0100 as well.
std::optional<LocalStamp> stamp(std::string_view text)
{
    const int year = digits(text, 0, 4);
    const int month = digits(text, 5, 2);
    const int day = digits(text, 8, 2);
    const int hour = digits(text, 11, 2);
    const int minute = digits(text, 14, 2);
    const int second = digits(text, 17, 2);
    if (year < 0 || month < 0 || day < 0 || hour < 0 || minute < 0 || second < 0 ||
        text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' || text[16] != ':' ||
        hour > 23 || minute > 59 || second > 59)
        return std::nullopt;
    const QDate date(year, month, day);
    if (!date.isValid())
        return std::nullopt;
    std::size_t at = 19;
    if (at < text.size() && text[at] == '.') {
        const std::size_t fraction = ++at;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9')
            ++at;
        if (at == fraction)
            return std::nullopt;
    }
    const std::string_view zone = text.substr(std::min(at, text.size()));
    int offset = 0;
    if (zone != "Z") {
        const bool colon = zone.size() == 6 && zone[3] == ':';
        if ((zone.size() != 5 && !colon) || (zone[0] != '+' && zone[0] != '-'))
            return std::nullopt;
        const int hours = digits(zone, 1, 2);
        const int minutes = digits(zone, colon ? 4 : 3, 2);
        if (hours < 0 || minutes < 0 || hours > 23 || minutes > 59)
            return std::nullopt;
        offset = (zone[0] == '-' ? -1 : 1) * (hours * 3600 + minutes * 60);
    }
    return LocalStamp{date, hour * 3600 + minute * 60 + second, offset};
}

// One record's fields, kept between records so their storage is reused.
struct Fields {
    std::vector<std::string> values;
    std::size_t count = 0;
    bool malformed = false;

    std::string& add()
    {
        if (count == values.size())
            values.emplace_back();
        std::string& field = values[count++];
        field.clear();
        return field;
    }
};

// Splits the bytes into records by the rules of RFC 4180: a field in double quotes may hold
// commas, line breaks and doubled quotes. A record whose quoting is broken is marked malformed
// and runs to the end of its line.
class RecordReader {
public:
    explicit RecordReader(QByteArrayView bytes)
        : m_text(bytes.data(), std::size_t(bytes.size()))
    {
        if (m_text.starts_with(byteOrderMark))
            m_at = byteOrderMark.size();
    }

    bool next(Fields& fields)
    {
        if (m_at >= m_text.size())
            return false;
        fields.count = 0;
        fields.malformed = false;
        while (true) {
            std::string& field = fields.add();
            if (m_at < m_text.size() && m_text[m_at] == '"') {
                if (!readQuoted(field)) {
                    fields.malformed = true;
                    skipLine();
                    return true;
                }
                if (m_at < m_text.size() && m_text[m_at] == '\r')
                    ++m_at;
            } else {
                const std::size_t end = std::min(m_text.find_first_of(",\n", m_at), m_text.size());
                field.assign(m_text.substr(m_at, end - m_at));
                m_at = end;
                if (!field.empty() && field.back() == '\r' &&
                    (m_at == m_text.size() || m_text[m_at] == '\n'))
                    field.pop_back();
            }
            if (m_at < m_text.size() && m_text[m_at] == ',') {
                ++m_at;
                continue;
            }
            if (m_at < m_text.size() && m_text[m_at] != '\n') {
                fields.malformed = true;
                skipLine();
                return true;
            }
            ++m_at;
            return true;
        }
    }

private:
    // From the opening quote to the closing one; false when the field is not closed properly.
    bool readQuoted(std::string& field)
    {
        ++m_at;
        while (true) {
            const std::size_t quote = m_text.find('"', m_at);
            if (quote == std::string_view::npos)
                return false;
            field.append(m_text.substr(m_at, quote - m_at));
            m_at = quote + 1;
            if (m_at < m_text.size() && m_text[m_at] == '"') {
                field += '"';
                ++m_at;
                continue;
            }
            return m_at == m_text.size() || m_text[m_at] == ',' || m_text[m_at] == '\n' ||
                   m_text[m_at] == '\r';
        }
    }

    void skipLine()
    {
        const std::size_t end = m_text.find('\n', m_at);
        m_at = end == std::string_view::npos ? m_text.size() : end + 1;
    }

    std::string_view m_text;
    std::size_t m_at = 0;
};

using ColumnMap = std::array<std::size_t, columnCount>;

constexpr ColumnMap writtenOrder()
{
    ColumnMap map{};
    for (std::size_t i = 0; i < columnCount; ++i)
        map[i] = i;
    return map;
}

// A line that names the first column is meant as a header, wherever a spreadsheet put it.
bool isHeader(const Fields& fields)
{
    const auto end = fields.values.cbegin() + qsizetype(fields.count);
    return std::find(fields.values.cbegin(), end, columnNames[Started]) != end;
}

std::optional<ColumnMap> headerMap(const Fields& fields)
{
    ColumnMap map{};
    for (std::size_t column = 0; column < columnCount; ++column) {
        std::size_t at = 0;
        while (at < fields.count && fields.values[at] != columnNames[column])
            ++at;
        if (at == fields.count)
            return std::nullopt;
        map[column] = at;
    }
    return map;
}

// Empty text leaves the value empty; other text must read.
template <typename T, typename Parse>
bool readOptional(std::string_view text, std::optional<T>& value, Parse parse)
{
    value.reset();
    if (text.empty())
        return true;
    value = parse(text);
    return value.has_value();
}

template <typename T> bool readRequired(std::optional<T> parsed, T& value)
{
    if (parsed)
        value = *parsed;
    return parsed.has_value();
}

std::optional<PracticeEntry> entryOf(const Fields& fields, const ColumnMap& columns)
{
    const auto field = [&](Column column) -> std::string_view {
        return fields.values[columns[column]];
    };
    for (const std::size_t at : columns) {
        if (at >= fields.count)
            return std::nullopt;
    }
    PracticeEntry entry;
    std::optional<bool> delay;
    const auto delayFlag = [](std::string_view text) -> std::optional<bool> {
        if (text == "0" || text == "1")
            return text == "1";
        return std::nullopt;
    };
    const auto exercise = named<Exercise>(field(ExerciseColumn), exerciseNames);
    const auto ended = named<Ended>(field(EndedColumn), endedNames);
    const bool read =
        readRequired(stamp(field(Started)), entry.started) && exercise &&
        readOptional(field(Type), entry.type,
                     [](std::string_view text) { return named<Holds>(text, holdsNames); }) &&
        readOptional(field(RatioColumn), entry.ratio,
                     [](std::string_view text) { return named<Ratio>(text, ratioNames); }) &&
        readOptional(field(Puraka), entry.puraka, integer) &&
        readOptional(field(Abhyantara), entry.abhyantara, integer) &&
        readOptional(field(Rechaka), entry.rechaka, integer) &&
        readOptional(field(Bahya), entry.bahya, integer) &&
        readRequired(integer(field(RoundsPlanned)), entry.roundsPlanned) &&
        readOptional(field(KevaliMinutes), entry.kevaliMinutes, integer) &&
        readOptional(field(KevaliStartBreath), entry.kevaliStartBreath, integer) &&
        readOptional(field(Delay), delay, delayFlag) && delay &&
        readRequired(seconds(field(PlannedSeconds)), entry.plannedSeconds) &&
        readRequired(seconds(field(ElapsedSeconds)), entry.elapsedSeconds) &&
        readRequired(integer(field(RoundsDone)), entry.roundsDone) && ended &&
        readOptional(field(RatingColumn), entry.rating,
                     [](std::string_view text) { return named<Rating>(text, ratingNames); }) &&
        readOptional(field(RoundSecondsAfter), entry.roundSecondsAfter, integer);
    if (!read)
        return std::nullopt;
    entry.exercise = *exercise;
    entry.delay = *delay;
    entry.ended = *ended;
    // What each exercise cannot do without.
    const bool complete = entry.exercise == Exercise::Pranayama
                              ? entry.type && entry.ratio && entry.puraka && entry.abhyantara &&
                                    entry.rechaka && entry.bahya
                              : entry.kevaliMinutes && entry.kevaliStartBreath;
    if (!complete)
        return std::nullopt;
    return entry;
}

} // namespace

QByteArray csvHeader()
{
    LineWriter line;
    for (const std::string_view name : columnNames)
        line.text(name);
    return line.finish();
}

QByteArray csvLine(const PracticeEntry& entry)
{
    LineWriter line;
    const QByteArray started = stampText(entry.started);
    line.text({started.constData(), std::size_t(started.size())});
    line.text(nameOf(entry.exercise, exerciseNames));
    line.optional(entry.type, holdsNames);
    line.optional(entry.ratio, ratioNames);
    line.optional(entry.puraka);
    line.optional(entry.abhyantara);
    line.optional(entry.rechaka);
    line.optional(entry.bahya);
    line.number(entry.roundsPlanned);
    line.optional(entry.kevaliMinutes);
    line.optional(entry.kevaliStartBreath);
    line.number(entry.delay ? 1 : 0);
    line.seconds(entry.plannedSeconds);
    line.seconds(entry.elapsedSeconds);
    line.number(entry.roundsDone);
    line.text(nameOf(entry.ended, endedNames));
    line.optional(entry.rating, ratingNames);
    line.optional(entry.roundSecondsAfter);
    return line.finish();
}

ParsedLog parseLog(QByteArrayView bytes, QByteArrayView headerLine)
{
    ParsedLog log;
    ColumnMap columns = writtenOrder();
    Fields fields;
    if (RecordReader header(headerLine);
        header.next(fields) && !fields.malformed && isHeader(fields)) {
        if (const auto map = headerMap(fields))
            columns = *map;
    }
    RecordReader reader(bytes);
    while (reader.next(fields)) {
        if (fields.malformed) {
            ++log.unreadableLines;
            continue;
        }
        if (fields.count == 1 && fields.values[0].empty())
            continue; // a blank line
        if (isHeader(fields)) {
            if (const auto map = headerMap(fields))
                columns = *map;
            else
                ++log.unreadableLines;
            continue;
        }
        if (auto entry = entryOf(fields, columns))
            log.entries.push_back(std::move(*entry));
        else
            ++log.unreadableLines;
    }
    return log;
}

} // namespace tolvane::practicelog
