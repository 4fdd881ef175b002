// Feeds arbitrary bytes to the practice log's reader as the log's contents, its first part also
// as the header of a log whose end alone is read. Every practice it reads must be written as one
// line that reads back as the same line.
#include "practicelog/LogCsv.h"

#include <cstdint>
#include <cstdlib>

using namespace tolvane::practicelog;

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

void requireWrittenAsRead(const ParsedLog& log)
{
    for (const PracticeEntry& entry : log.entries) {
        const QByteArray line = csvLine(entry);
        const ParsedLog again = parseLog(line);
        require(again.unreadableLines == 0 && again.entries.size() == 1);
        require(csvLine(again.entries.front()) == line);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    requireWrittenAsRead(parseLog(bytes));
    const qsizetype split = bytes.indexOf('\n') + 1;
    requireWrittenAsRead(parseLog(bytes.sliced(split), bytes.first(split)));
    return 0;
}
