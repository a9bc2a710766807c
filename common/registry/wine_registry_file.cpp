#include "common/registry/wine_registry_file.h"

#include "common/registry/registry_escaped_text.h"
#include "common/text/utf16_text.h"

#include <cstring>

namespace tambrel {

namespace {

constexpr std::string_view kRegistryHeader = "WINE REGISTRY Version 2";

struct Line {
    std::string_view text; // without its line break
    std::size_t next = 0;  // where the following line begins
    // False for a last line without its line break: a file being written in place may end
    // there, in the middle of a number.
    bool endsInLineBreak = false;
};

Line lineAt(std::string_view text, std::size_t start) {
    const void* lineFeed = std::memchr(text.data() + start, '\n', text.size() - start);
    const std::size_t end =
        lineFeed ? static_cast<std::size_t>(static_cast<const char*>(lineFeed) - text.data())
                 : text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return {line, lineFeed ? end + 1 : text.size(), lineFeed != nullptr};
}

bool isBlank(char character) {
    return character == ' ' || character == '\t' || character == '\r' || character == '\v' ||
           character == '\f';
}

std::size_t skipBlanks(std::string_view line, std::size_t position) {
    while (position < line.size() && isBlank(line[position]))
        ++position;
    return position;
}

// 1 to 8 hex digits at `position`, not followed by another; advances past them.
std::optional<std::uint32_t> readHexNumber(std::string_view line, std::size_t& position) {
    std::uint32_t value = 0;
    std::size_t digits = 0;
    while (position < line.size() && hexDigitValue(line[position]) >= 0) {
        if (++digits > 8)
            return std::nullopt;
        value = value * 16 + static_cast<std::uint32_t>(hexDigitValue(line[position]));
        ++position;
    }
    if (digits == 0)
        return std::nullopt;
    return value;
}

enum class KeyMatch { Undecided, Different, Same, Below };

// Compares the key name that follows a '[' with every wanted path at once, reading only as far
// as some path may still match.
void matchKeyName(std::string_view afterBracket, std::span<const std::u16string> keyPaths,
                  LetterCaseFolding fold, std::vector<KeyMatch>& matches) {
    matches.assign(keyPaths.size(), KeyMatch::Undecided);
    std::size_t undecided = keyPaths.size();
    bool anyBelow = false;

    RegistryEscapedText name(afterBracket, ']');
    std::size_t index = 0;
    for (;;) {
        char16_t unit = 0;
        const RegistryEscapedText::Step step = name.next(unit);
        if (step == RegistryEscapedText::Step::Malformed) {
            matches.assign(keyPaths.size(), KeyMatch::Different);
            return;
        }
        if (step == RegistryEscapedText::Step::Terminator) {
            for (std::size_t path = 0; path < keyPaths.size(); ++path) {
                if (matches[path] == KeyMatch::Undecided)
                    matches[path] =
                        index == keyPaths[path].size() ? KeyMatch::Same : KeyMatch::Different;
            }
            return;
        }
        if (undecided == 0)
            continue; // only reading on to see that a key below a wanted one is well formed
        const char16_t folded = fold(unit);
        for (std::size_t path = 0; path < keyPaths.size(); ++path) {
            if (matches[path] != KeyMatch::Undecided)
                continue;
            const std::u16string& wanted = keyPaths[path];
            if (index < wanted.size() && wanted[index] == folded)
                continue;
            if (index == wanted.size() && folded == u'\\') {
                matches[path] = KeyMatch::Below;
                anyBelow = true;
            } else {
                matches[path] = KeyMatch::Different;
            }
            --undecided;
        }
        ++index;
        if (undecided == 0 && !anyBelow)
            return;
    }
}

std::vector<std::uint8_t> utf16LittleEndianBytes(const std::u16string& units) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(units.size() * 2 + 2);
    for (char16_t unit : units) {
        bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    // Strings in the file are stored with their terminating NUL.
    bytes.push_back(0);
    bytes.push_back(0);
    return bytes;
}

std::optional<StoredRegistryValue> readStringData(std::string_view data, std::uint32_t type) {
    std::u16string units;
    RegistryEscapedText text(data, '"');
    if (!text.readAll(units))
        return std::nullopt;
    return StoredRegistryValue{type, utf16LittleEndianBytes(units)};
}

// A comma-separated list of hex bytes; a line ending in a backslash goes on in the next line.
// `next` is advanced past every line consumed; `endsInLineBreak` tells whether the line of
// `data` has its line break.
std::optional<StoredRegistryValue> readHexData(std::string_view text, std::string_view data,
                                               bool endsInLineBreak, std::size_t& next,
                                               std::uint32_t type) {
    StoredRegistryValue value{type, {}};
    for (;;) {
        std::size_t position = 0;
        while (position < data.size() && hexDigitValue(data[position]) >= 0) {
            unsigned byte = static_cast<unsigned>(hexDigitValue(data[position++]));
            if (position < data.size() && hexDigitValue(data[position]) >= 0)
                byte = byte * 16 + static_cast<unsigned>(hexDigitValue(data[position++]));
            if (position < data.size() && hexDigitValue(data[position]) >= 0)
                return std::nullopt; // more than a byte
            value.data.push_back(static_cast<std::uint8_t>(byte));
            position = skipBlanks(data, position);
            if (position < data.size() && data[position] == ',')
                ++position;
            position = skipBlanks(data, position);
        }
        if (position == data.size()) {
            // Cut off by the end of the file, the list may lack bytes or digits.
            if (!endsInLineBreak)
                return std::nullopt;
            return value;
        }
        if (data[position] != '\\' || skipBlanks(data, position + 1) != data.size() ||
            next >= text.size())
            return std::nullopt;
        const Line continuation = lineAt(text, next);
        const std::size_t start = skipBlanks(continuation.text, 0);
        if (start < continuation.text.size() && continuation.text[start] == '[')
            return std::nullopt; // a key line, not the rest of this value
        next = continuation.next;
        data = continuation.text.substr(start);
        endsInLineBreak = continuation.endsInLineBreak;
    }
}

// The data part of a value line, after "=": its type tag and its data. Strings end at their
// closing quote; numbers and byte lists only at the line break, so a line that the end of the
// file cuts short gives them no value.
std::optional<StoredRegistryValue> readValueData(std::string_view text, std::string_view data,
                                                 bool endsInLineBreak, std::size_t& next) {
    if (data.starts_with('"'))
        return readStringData(data.substr(1), 1);
    if (data.starts_with("str:\""))
        return readStringData(data.substr(5), 1);
    if (data.starts_with("dword:")) {
        if (!endsInLineBreak)
            return std::nullopt;
        std::size_t position = 6;
        const std::optional<std::uint32_t> number = readHexNumber(data, position);
        if (!number)
            return std::nullopt;
        return StoredRegistryValue{4,
                                   {static_cast<std::uint8_t>(*number & 0xFF),
                                    static_cast<std::uint8_t>((*number >> 8) & 0xFF),
                                    static_cast<std::uint8_t>((*number >> 16) & 0xFF),
                                    static_cast<std::uint8_t>(*number >> 24)}};
    }
    if (data.starts_with("hex:"))
        return readHexData(text, data.substr(4), endsInLineBreak, next, 3);
    const bool typedString = data.starts_with("str(");
    if (typedString || data.starts_with("hex(")) {
        std::size_t position = 4;
        const std::optional<std::uint32_t> type = readHexNumber(data, position);
        if (!type || data.substr(position, 2) != "):")
            return std::nullopt;
        position += 2;
        if (!typedString)
            return readHexData(text, data.substr(position), endsInLineBreak, next, *type);
        if (data.substr(position, 1) != "\"")
            return std::nullopt;
        return readStringData(data.substr(position + 1), *type);
    }
    return std::nullopt;
}

// One line of a wanted key's section; the value is stored when the line names the wanted one.
void readValueLine(std::string_view text, const Line& line, std::size_t& next,
                   std::u16string_view valueName, LetterCaseFolding fold, RegistryLookup& lookup) {
    const std::string_view content = line.text;
    std::size_t position = skipBlanks(content, 0);
    if (position >= content.size())
        return;
    std::u16string name;
    if (content[position] == '@') {
        ++position;
    } else if (content[position] == '"') {
        RegistryEscapedText quoted(content.substr(position + 1), '"');
        if (!quoted.readAll(name))
            return;
        position += 1 + quoted.position();
    } else {
        return; // options (#time, #class, #link), comments, the rest of a hex value, or junk
    }
    if (name.size() != valueName.size())
        return;
    for (std::size_t index = 0; index < name.size(); ++index) {
        if (fold(name[index]) != valueName[index])
            return;
    }
    position = skipBlanks(content, position);
    if (position >= content.size() || content[position] != '=')
        return;
    position = skipBlanks(content, position + 1);
    std::size_t afterValue = next;
    if (std::optional<StoredRegistryValue> value =
            readValueData(text, content.substr(position), line.endsInLineBreak, afterValue)) {
        lookup.value = std::move(*value);
        next = afterValue;
    }
}

std::u16string folded(std::u16string units, LetterCaseFolding fold) {
    for (char16_t& unit : units)
        unit = fold(unit);
    return units;
}

} // namespace

std::optional<std::u16string> registryKeyPathForLookup(std::string_view keyPath,
                                                       LetterCaseFolding fold) {
    if (keyPath.ends_with('\\'))
        keyPath.remove_suffix(1);
    std::u16string units;
    appendUtf8AsUtf16(keyPath, units);
    for (std::size_t index = 0; index < units.size(); ++index) {
        if (units[index] == u'\\' && (index == 0 || units[index - 1] == u'\\'))
            return std::nullopt;
    }
    if (!units.empty() && units.back() == u'\\')
        return std::nullopt;
    return folded(std::move(units), fold);
}

std::u16string registryValueNameForLookup(std::string_view valueName, LetterCaseFolding fold) {
    std::u16string units;
    appendUtf8AsUtf16(valueName, units);
    return folded(std::move(units), fold);
}

RegistryLookup lookupRegistryValue(std::string_view registryText,
                                   std::span<const std::u16string> keyPaths,
                                   std::u16string_view valueName, LetterCaseFolding fold) {
    if (keyPaths.empty())
        return {};
    const Line header = lineAt(registryText, 0);
    if (header.text != kRegistryHeader)
        return {}; // Wine refuses such a file too, and sees no keys in it
    std::vector<RegistryLookup> lookups(keyPaths.size());
    for (std::size_t path = 0; path < keyPaths.size(); ++path) {
        if (keyPaths[path].empty())
            lookups[path].key = RegistryKeyPresence::Present; // the root is always there
    }
    std::vector<KeyMatch> matches;

    std::size_t position = header.next;
    while (position < registryText.size()) {
        const void* found =
            std::memchr(registryText.data() + position, '[', registryText.size() - position);
        if (!found)
            break;
        const std::size_t bracket =
            static_cast<std::size_t>(static_cast<const char*>(found) - registryText.data());
        std::size_t lineStart = bracket;
        while (lineStart > position && isBlank(registryText[lineStart - 1]))
            --lineStart;
        if (registryText[lineStart - 1] != '\n') {
            position = bracket + 1; // a bracket inside some other line
            continue;
        }
        const Line keyLine = lineAt(registryText, bracket);
        matchKeyName(keyLine.text.substr(1), keyPaths, fold, matches);
        position = keyLine.next;

        std::optional<std::size_t> section;
        for (std::size_t path = 0; path < keyPaths.size(); ++path) {
            if (matches[path] == KeyMatch::Different)
                continue;
            lookups[path].key = RegistryKeyPresence::Present;
            if (matches[path] == KeyMatch::Same)
                section = path;
        }
        if (!section)
            continue;
        while (position < registryText.size()) {
            const Line line = lineAt(registryText, position);
            const std::size_t start = skipBlanks(line.text, 0);
            if (start < line.text.size() && line.text[start] == '[')
                break;
            std::size_t next = line.next;
            readValueLine(registryText, line, next, valueName, fold, lookups[*section]);
            position = next;
        }
    }

    for (RegistryLookup& lookup : lookups) {
        if (lookup.key == RegistryKeyPresence::Present)
            return std::move(lookup);
    }
    return {};
}

} // namespace tambrel
