#pragma once

#include "platform/Registry.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstddef>
#include <optional>
#include <vector>

// The registry file's text as regedit exports it: parsed into entries that keep their exact bytes,
// so that an edit changes only the lines it touches. Pure functions on bytes; the file itself is
// read and replaced by UserRegistry.
namespace tolvane::platform::regtext {

// How the file's text is stored on disk; a rewrite keeps it.
enum class Encoding { Utf8, Utf8WithBom, Utf16Le };

// One line of the file, or several for a value continued with backslashes. The raw text is kept
// so that everything we do not change is written back byte for byte.
struct Entry {
    enum class Kind { Text, Section, Value };
    Kind kind = Kind::Text;
    QByteArray raw;             // the exact text, line ends included
    bool ours = false;          // Section, Value: the section lies below HKEY_CURRENT_USER
    QByteArray key;             // Section, Value: the section's path, case folded
    QByteArray name;            // Value: the value name, case folded
    qsizetype prefixLength = 0; // Value: the bytes of raw up to and including the '='
    RegistryValue value;
    bool unreadable = false; // Value: the line names the value, but its data cannot be read
};

struct Document {
    std::vector<Entry> entries;
    Encoding encoding = Encoding::Utf8;
    QByteArray eol = "\n";
    // The lines that cannot be read, in order. Everything else is read, but a document with
    // such lines is not ours to rewrite: writing it back would make them ours.
    std::vector<WrongLine> wrongLines;
};

// The ASCII lower case that key paths and value names compare in.
QByteArray foldCase(QByteArrayView text);

// A key path or value name as the file spells it, or nothing when it cannot be written there.
std::optional<QByteArray> keyPathText(const QString& keyPath);
std::optional<QByteArray> valueNameText(const QString& name);

// The file's bytes as a document: every line that can be read, and the lines that cannot. A text
// that cannot be decoded at all gives no entries and one wrong line numbered 0. Empty bytes give
// an empty document.
Document parseDocument(const QByteArray& bytes);
QByteArray serialize(const Document& document);

// key and name are case folded.
bool keyIn(const Document& document, const QByteArray& key);
const Entry* findValue(const Document& document, const QByteArray& key, const QByteArray& name);

// Appends a section for the key path, spelled as given.
void appendSection(Document& document, const QByteArray& path);
// Replaces the value's data in place, or adds it at the end of its key (creating the key).
void writeValue(Document& document, const QByteArray& path, const QByteArray& name,
                const RegistryValue& value);

} // namespace tolvane::platform::regtext
