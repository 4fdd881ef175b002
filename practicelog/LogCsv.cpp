#include "practicelog/LogCsv.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <string_view>

namespace tolvane::practicelog {

namespace {

// Every column a log has held; columnNames spells them. The lines of today hold currentColumns,
// those of the first version firstColumns (one "started" field with the offset, and the times in
// seconds with a decimal fraction, which spreadsheets read by their locale).
// clang-format off
enum Column {
    Started, Date, Time, UtcOffset, ExerciseColumn, Type, RatioColumn, Puraka, Abhyantara, Rechaka,
    Bahya, RoundsPlanned, KevaliMinutes, KevaliStartBreath, Delay, PlannedSeconds, ElapsedSeconds,
    PlannedMs, ElapsedMs, RoundsDone, EndedColumn, RatingColumn, RoundSecondsAfter, columnCount
};

constexpr std::array<std::string_view, columnCount> columnNames{
    "started", "date", "time", "utc_offset_minutes", "exercise", "type", "ratio", "puraka",
    "abhyantara", "rechaka", "bahya", "rounds_planned", "kevali_minutes", "kevali_start_breath",
    "delay", "planned_seconds", "elapsed_seconds", "planned_ms", "elapsed_ms", "rounds_done",
    "ended", "rating", "round_seconds_after"};

constexpr std::array<Column, 20> currentColumns{
    Date, Time, UtcOffset, ExerciseColumn, Type, RatioColumn, Puraka, Abhyantara, Rechaka, Bahya,
    RoundsPlanned, KevaliMinutes, KevaliStartBreath, Delay, PlannedMs, ElapsedMs, RoundsDone,
    EndedColumn, RatingColumn, RoundSecondsAfter};
constexpr std::array<Column, 18> firstColumns{
    Started, ExerciseColumn, Type, RatioColumn, Puraka, Abhyantara, Rechaka, Bahya, RoundsPlanned,
    KevaliMinutes, KevaliStartBreath, Delay, PlannedSeconds, ElapsedSeconds, RoundsDone,
    EndedColumn, RatingColumn, RoundSecondsAfter};
// clang-format on

constexpr std::array<std::string_view, 2> exerciseNames{"Pranayama", "Kevali"};
constexpr std::array<std::string_view, 3> holdsNames{"none", "one", "two"};
// Written with the holds in brackets, as the settings dialog names them: "1:4:2:2" alone is a
// time of day to some spreadsheets. The first version's names are read as well.
constexpr std::array<std::string_view, 3> ratioNames{"1:(4):2:(2)", "1:(1):1:(1)", "free"};
constexpr std::array<std::string_view, 3> firstRatioNames{"1:4:2:2", "1:1:1:1", "free"};
constexpr std::array<std::string_view, 3> endedNames{"end", "stop", "close"};
constexpr std::array<std::string_view, 3> ratingNames{"easy", "slightly difficult", "difficult"};

constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";
constexpr std::int64_t msPerSecond = 1000;
// Some 31 000 years: any time a practice can be planned for, and exact in a double of seconds.
constexpr std::int64_t mostMs = 1'000'000'000'000'000;
constexpr int mostOffsetMinutes = 24 * 60 - 1;
// A practice runs its planned time and a few milliseconds; one that ran more than twice as long
// and a minute was not written so (a spreadsheet that read "700.004" as 700004, say).
constexpr std::int64_t overrunMs = 60 * msPerSecond;

// Writing

template <typename Enum, std::size_t N>
std::string_view nameOf(Enum value, const std::array<std::string_view, N>& names)
{
    return names[static_cast<std::size_t>(value)];
}

std::int64_t wholeMs(double seconds)
{
    if (std::isnan(seconds))
        return 0;
    return std::llround(std::clamp(seconds * msPerSecond, -double(mostMs), double(mostMs)));
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

std::string formatted(const char* format, int a, int b, int c)
{
    std::array<char, 32> text{};
    const int length = std::snprintf(text.data(), text.size(), format, a, b, c);
    return std::string(text.data(), std::size_t(std::max(length, 0)));
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

template <typename T> std::optional<T> integer(std::string_view text)
{
    T value = 0;
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

std::optional<double> milliseconds(std::string_view text)
{
    const auto value = integer<std::int64_t>(text);
    if (!value || *value < -mostMs || *value > mostMs)
        return std::nullopt;
    return double(*value) / msPerSecond;
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

// 2026-12-08
std::optional<QDate> date(std::string_view text)
{
    const int year = digits(text, 0, 4);
    const int month = digits(text, 5, 2);
    const int day = digits(text, 8, 2);
    if (text.size() < 10 || year < 0 || month < 0 || day < 0 || text[4] != '-' || text[7] != '-')
        return std::nullopt;
    const QDate date(year, month, day);
    return date.isValid() ? std::optional(date) : std::nullopt;
}

// 07:15:04, as the second of the day.
std::optional<int> timeOfDay(std::string_view text)
{
    const int hour = digits(text, 0, 2);
    const int minute = digits(text, 3, 2);
    const int second = digits(text, 6, 2);
    if (text.size() < 8 || hour < 0 || minute < 0 || second < 0 || text[2] != ':' ||
        text[5] != ':' || hour > 23 || minute > 59 || second > 59)
        return std::nullopt;
    return hour * 3600 + minute * 60 + second;
}

// The first version's ISO 8601 local time with its offset: 2026-12-08T07:15:04+01:00, a fraction
// of a second and the forms Z and +0100 as well.
std::optional<LocalStamp> stamp(std::string_view text)
{
    const auto day = date(text);
    const auto second = timeOfDay(text.substr(std::min<std::size_t>(11, text.size())));
    if (!day || !second || text[10] != 'T')
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
    return LocalStamp{*day, *second, offset};
}

// The fields of today's lines: the date, the time of day and the offset in minutes.
std::optional<LocalStamp> stamp(std::string_view dayText, std::string_view timeText,
                                std::string_view offsetText)
{
    const auto day = date(dayText);
    const auto second = timeOfDay(timeText);
    const auto minutes = integer<int>(offsetText);
    if (dayText.size() != 10 || timeText.size() != 8 || !day || !second || !minutes ||
        std::abs(*minutes) > mostOffsetMinutes)
        return std::nullopt;
    return LocalStamp{*day, *second, *minutes * 60};
}

// One record's fields, kept between records so their storage is reused.
struct Fields {
    std::vector<std::string> values;
    std::size_t count = 0;
    bool malformed = false;
    std::vector<std::size_t> holdingLineBreaks; // the fields whose quotes run over lines

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
// commas, doubled quotes and, when asked to, line breaks. A record whose quoting is broken is
// marked malformed and runs to the end of its line.
class RecordReader {
public:
    explicit RecordReader(QByteArrayView bytes)
        : m_text(bytes.data(), std::size_t(bytes.size()))
    {
        if (m_text.starts_with(byteOrderMark))
            m_at = byteOrderMark.size();
    }

    std::size_t position() const { return m_at; }
    void seek(std::size_t at) { m_at = at; }
    // Whether what was read since start runs over more than one line.
    bool overLinesSince(std::size_t start) const
    {
        return m_at > start + 1 &&
               m_text.substr(start, m_at - start - 1).find('\n') != std::string_view::npos;
    }

    bool next(Fields& fields, bool overLines)
    {
        if (m_at >= m_text.size())
            return false;
        fields.count = 0;
        fields.malformed = false;
        fields.holdingLineBreaks.clear();
        while (true) {
            std::string& field = fields.add();
            if (m_at < m_text.size() && m_text[m_at] == '"') {
                const std::size_t opening = m_at;
                if (!readQuoted(field, overLines)) {
                    fields.malformed = true;
                    skipLine();
                    return true;
                }
                if (m_text.substr(opening, m_at - opening).find('\n') != std::string_view::npos)
                    fields.holdingLineBreaks.push_back(fields.count - 1);
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
    // From the opening quote to the closing one; false when the field is not closed properly, or
    // not on its line when it must be.
    bool readQuoted(std::string& field, bool overLines)
    {
        ++m_at;
        const std::size_t lineEnd = overLines ? std::string_view::npos : m_text.find('\n', m_at);
        while (true) {
            const std::size_t quote = m_text.find('"', m_at);
            if (quote == std::string_view::npos || quote > lineEnd)
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

constexpr std::size_t absent = std::numeric_limits<std::size_t>::max();

// Where each column stands in a line; absent for those its version does not hold.
using ColumnMap = std::array<std::size_t, columnCount>;

template <std::size_t N> constexpr ColumnMap writtenOrder(const std::array<Column, N>& columns)
{
    ColumnMap map{};
    map.fill(absent);
    for (std::size_t i = 0; i < N; ++i)
        map[columns[i]] = i;
    return map;
}

constexpr ColumnMap currentOrder = writtenOrder(currentColumns);
constexpr ColumnMap firstOrder = writtenOrder(firstColumns);

std::size_t fieldAt(const Fields& fields, std::string_view name)
{
    for (std::size_t at = 0; at < fields.count; ++at) {
        if (fields.values[at] == name)
            return at;
    }
    return absent;
}

// A line that names the first column of either version is meant as a header, wherever a
// spreadsheet put it.
bool isHeader(const Fields& fields)
{
    return fieldAt(fields, columnNames[Date]) != absent ||
           fieldAt(fields, columnNames[Started]) != absent;
}

template <std::size_t N>
std::optional<ColumnMap> headerMap(const Fields& fields, const std::array<Column, N>& columns)
{
    ColumnMap map{};
    map.fill(absent);
    for (const Column column : columns) {
        map[column] = fieldAt(fields, columnNames[column]);
        if (map[column] == absent)
            return std::nullopt;
    }
    return map;
}

std::optional<ColumnMap> headerMap(const Fields& fields)
{
    if (auto map = headerMap(fields, currentColumns))
        return map;
    return headerMap(fields, firstColumns);
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

bool possible(const PracticeEntry& entry, QDate latestDate)
{
    const std::int64_t planned = wholeMs(entry.plannedSeconds);
    const std::int64_t elapsed = wholeMs(entry.elapsedSeconds);
    return elapsed >= 0 && elapsed <= 2 * std::max<std::int64_t>(planned, 0) + overrunMs &&
           (!latestDate.isValid() || entry.started.date <= latestDate);
}

std::optional<PracticeEntry> entryOf(const Fields& fields, const ColumnMap& columns,
                                     QDate latestDate)
{
    const bool current = columns[Date] != absent;
    for (const std::size_t at : columns) {
        if (at != absent && at >= fields.count)
            return std::nullopt;
    }
    const auto field = [&](Column column) -> std::string_view {
        return fields.values[columns[column]];
    };
    PracticeEntry entry;
    std::optional<bool> delay;
    const auto delayFlag = [](std::string_view text) -> std::optional<bool> {
        if (text == "0" || text == "1")
            return text == "1";
        return std::nullopt;
    };
    const auto ratio = [current](std::string_view text) {
        return named<Ratio>(text, current ? ratioNames : firstRatioNames);
    };
    const auto exercise = named<Exercise>(field(ExerciseColumn), exerciseNames);
    const auto ended = named<Ended>(field(EndedColumn), endedNames);
    const bool read =
        readRequired(current ? stamp(field(Date), field(Time), field(UtcOffset))
                             : stamp(field(Started)),
                     entry.started) &&
        exercise &&
        readOptional(field(Type), entry.type,
                     [](std::string_view text) { return named<Holds>(text, holdsNames); }) &&
        readOptional(field(RatioColumn), entry.ratio, ratio) &&
        readOptional(field(Puraka), entry.puraka, integer<int>) &&
        readOptional(field(Abhyantara), entry.abhyantara, integer<int>) &&
        readOptional(field(Rechaka), entry.rechaka, integer<int>) &&
        readOptional(field(Bahya), entry.bahya, integer<int>) &&
        readRequired(integer<int>(field(RoundsPlanned)), entry.roundsPlanned) &&
        readOptional(field(KevaliMinutes), entry.kevaliMinutes, integer<int>) &&
        readOptional(field(KevaliStartBreath), entry.kevaliStartBreath, integer<int>) &&
        readOptional(field(Delay), delay, delayFlag) && delay &&
        readRequired(current ? milliseconds(field(PlannedMs)) : seconds(field(PlannedSeconds)),
                     entry.plannedSeconds) &&
        readRequired(current ? milliseconds(field(ElapsedMs)) : seconds(field(ElapsedSeconds)),
                     entry.elapsedSeconds) &&
        readRequired(integer<int>(field(RoundsDone)), entry.roundsDone) && ended &&
        readOptional(field(RatingColumn), entry.rating,
                     [](std::string_view text) { return named<Rating>(text, ratingNames); }) &&
        readOptional(field(RoundSecondsAfter), entry.roundSecondsAfter, integer<int>);
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
    if (!complete || !possible(entry, latestDate))
        return std::nullopt;
    return entry;
}

// The columns of the lines read so far: those a header named, or before any header those that a
// line of its length was written with.
struct Columns {
    std::optional<ColumnMap> named;

    const ColumnMap& of(const Fields& fields) const
    {
        if (named)
            return *named;
        return fields.count == firstColumns.size() ? firstOrder : currentOrder;
    }
};

// What one record is to the reader.
struct Record {
    enum Kind { Blank, Header, Practice, Unreadable } kind = Unreadable;
    std::optional<ColumnMap> header;
    std::optional<PracticeEntry> entry;
};

Record recordOf(const Fields& fields, const Columns& columns, QDate latestDate)
{
    if (fields.malformed)
        return {};
    if (fields.count == 1 && fields.values[0].empty())
        return {Record::Blank, {}, {}};
    if (isHeader(fields)) {
        auto map = headerMap(fields);
        return map ? Record{Record::Header, map, {}} : Record{};
    }
    auto entry = entryOf(fields, columns.of(fields), latestDate);
    // A line in the columns a version wrote, under a header of another: a log of the first
    // version continued in today's columns, whose later header lies outside the part read.
    if (!entry && columns.named)
        entry = entryOf(fields, Columns{}.of(fields), latestDate);
    return entry ? Record{Record::Practice, {}, std::move(entry)} : Record{};
}

// A line break inside quotes is a note's, in a column added to ours, of a line that reads.
bool lineBreaksBelong(const Fields& fields, const Columns& columns, const Record& record)
{
    if (record.kind != Record::Practice)
        return false;
    const ColumnMap& map = columns.of(fields);
    return std::none_of(
        fields.holdingLineBreaks.cbegin(), fields.holdingLineBreaks.cend(),
        [&map](std::size_t at) { return std::find(map.cbegin(), map.cend(), at) != map.cend(); });
}

} // namespace

QByteArray csvHeader()
{
    LineWriter line;
    for (const Column column : currentColumns)
        line.text(columnNames[column]);
    return line.finish();
}

QByteArray csvLine(const PracticeEntry& entry)
{
    LineWriter line;
    const LocalStamp& started = entry.started;
    line.text(
        formatted("%04d-%02d-%02d", started.date.year(), started.date.month(), started.date.day()));
    line.text(formatted("%02d:%02d:%02d", started.secondOfDay / 3600, started.secondOfDay / 60 % 60,
                        started.secondOfDay % 60));
    line.number(started.utcOffsetSeconds / 60);
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
    line.number(wholeMs(entry.plannedSeconds));
    line.number(wholeMs(entry.elapsedSeconds));
    line.number(entry.roundsDone);
    line.text(nameOf(entry.ended, endedNames));
    line.optional(entry.rating, ratingNames);
    line.optional(entry.roundSecondsAfter);
    return line.finish();
}

bool endsCurrentLines(QByteArrayView line)
{
    Fields fields;
    RecordReader reader(line);
    if (!reader.next(fields, false) || fields.malformed)
        return false;
    if (isHeader(fields))
        return headerMap(fields, currentColumns) == currentOrder;
    return fields.count == currentColumns.size() && entryOf(fields, currentOrder, {});
}

ParsedLog parseLog(QByteArrayView bytes, QByteArrayView headerLine, QDate latestDate)
{
    ParsedLog log;
    Columns columns;
    Fields fields;
    if (RecordReader header(headerLine);
        header.next(fields, false) && !fields.malformed && isHeader(fields))
        columns.named = headerMap(fields);
    RecordReader reader(bytes);
    while (true) {
        const std::size_t start = reader.position();
        if (!reader.next(fields, true))
            break;
        Record record = recordOf(fields, columns, latestDate);
        if (reader.overLinesSince(start) && !lineBreaksBelong(fields, columns, record)) {
            reader.seek(start);
            reader.next(fields, false);
            record = recordOf(fields, columns, latestDate);
        }
        switch (record.kind) {
        case Record::Blank:
            break;
        case Record::Header:
            columns.named = record.header;
            break;
        case Record::Practice:
            log.entries.push_back(std::move(*record.entry));
            break;
        case Record::Unreadable:
            ++log.unreadableLines;
            break;
        }
    }
    return log;
}

} // namespace tolvane::practicelog
