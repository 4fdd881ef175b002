// Feeds arbitrary bytes to the registry file's parser as the file's contents. A file that parses
// must come back byte for byte when nothing changes, and an edit must read back while every other
// value keeps its data.
#include "platform/RegistryText.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <utility>
#include <vector>

using namespace tolvane::platform;
using namespace tolvane::platform::regtext;

namespace {

struct StoredValue {
    QByteArray key;
    QByteArray name;
    RegistryValue value;
};

// Every value the document holds, as a read finds it.
std::vector<StoredValue> storedValues(const Document& document)
{
    std::vector<StoredValue> values;
    for (const Entry& entry : document.entries) {
        if (entry.kind == Entry::Kind::Value && entry.ours)
            values.push_back(
                {entry.key, entry.name, findValue(document, entry.key, entry.name)->value});
    }
    return values;
}

void require(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    Document document = parseDocument(bytes);
    if (!document.wrongLines.empty()) {
        // The lines named are the file's, in order, and what was read keeps every byte; such a
        // document is never edited.
        qsizetype previous = -1;
        for (const WrongLine& wrong : document.wrongLines) {
            require(wrong.number > previous && wrong.number <= bytes.count('\n') + 1);
            previous = wrong.number;
        }
        require(document.wrongLines.front().number == 0 || serialize(document) == bytes);
        return 0;
    }
    require(serialize(document) == bytes);
    const std::vector<StoredValue> before = storedValues(document);

    const QByteArray key = "SOFTWARE\\Tolvane";
    const std::pair<QByteArray, RegistryValue> edits[] = {
        {"intTop", {RegDword, QByteArray("\x01\x02\x03\x04", 4)}},
        {"say \"hi\" \\", {RegSz, QByteArray("a \"b\" \\c", 9)}},
        {"blob", {RegBinary, QByteArray(100, '\x7f')}},
    };
    for (const auto& [name, value] : edits)
        writeValue(document, key, name, value);

    const Document reread = parseDocument(serialize(document));
    require(reread.wrongLines.empty());
    for (const auto& [name, value] : edits) {
        const Entry* entry = findValue(reread, foldCase(key), foldCase(name));
        require(entry && entry->value == value);
    }
    const auto edited = [&](const StoredValue& old) {
        return old.key == foldCase(key) &&
               std::any_of(std::begin(edits), std::end(edits),
                           [&](const auto& edit) { return foldCase(edit.first) == old.name; });
    };
    for (const StoredValue& old : before) {
        if (edited(old))
            continue;
        const Entry* entry = findValue(reread, old.key, old.name);
        require(entry && entry->value == old.value);
    }
    return 0;
}
