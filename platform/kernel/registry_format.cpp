// The registry's text file format: writing a tree out and reading one back as far as it is sound.
#include "kernel/registry_store.h"
#include "kernel/registry_tree.h"

#include "kernel/code_pages.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace {

void AppendHex(std::string &out, unsigned long value, int digits) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%0*lx", digits, value);
    out += buffer;
}

// The escape a unit needs inside quotes, or none; a unit of a surrogate pair needs none.
std::optional<std::string> Escape(std::u16string_view text, size_t i) {
    const char16_t c = text[i];
    switch (c) {
    case u'\\':
        return "\\\\";
    case u'"':
        return "\\\"";
    case u'\n':
        return "\\n";
    case u'\r':
        return "\\r";
    case u'\t':
        return "\\t";
    default:
        break;
    }
    bool lone = false;
    if (c >= 0xD800 && c <= 0xDBFF) {
        lone = i + 1 >= text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF;
    } else if (c >= 0xDC00 && c <= 0xDFFF) {
        lone = i == 0 || text[i - 1] < 0xD800 || text[i - 1] > 0xDBFF;
    }
    if (c < 0x20 || c == 0x7F || lone) {
        std::string escape = "\\u";
        AppendHex(escape, c, 4);
        return escape;
    }
    return std::nullopt;
}

void AppendQuoted(std::string &out, std::u16string_view text) {
    out += '"';
    std::u16string run;
    for (size_t i = 0; i < text.size(); ++i) {
        if (std::optional<std::string> escape = Escape(text, i)) {
            out += Utf8FromWide(run);
            run.clear();
            out += *escape;
        } else {
            run += text[i];
        }
    }
    out += Utf8FromWide(run);
    out += '"';
}

// Bare unless quoting is needed to read the name back exactly.
void AppendKeyName(std::string &out, std::u16string_view name) {
    bool bare = !name.empty() && name[0] != u'"';
    for (size_t i = 0; bare && i < name.size(); ++i) {
        bare = name[i] != u'\\' && !Escape(name, i).has_value();
    }
    if (bare) {
        out += Utf8FromWide(name);
    } else {
        AppendQuoted(out, name);
    }
}

void AppendBytes(std::string &out, const std::vector<BYTE> &data) {
    for (size_t i = 0; i < data.size(); ++i) {
        if (i > 0) {
            out += ',';
        }
        AppendHex(out, data[i], 2);
    }
}

// The UTF-16 text of REG_SZ data without its terminator, if the data is exactly that.
std::optional<std::u16string> StringData(const std::vector<BYTE> &data) {
    if (data.size() < 2 || data.size() % 2 != 0 || data[data.size() - 1] != 0 ||
        data[data.size() - 2] != 0) {
        return std::nullopt;
    }
    std::u16string text(data.size() / 2 - 1, u'\0');
    for (size_t i = 0; i < text.size(); ++i) {
        text[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    }
    return text;
}

void AppendValue(std::string &out, const RegistryValue &value) {
    if (value.name.empty()) {
        out += '@';
    } else {
        AppendQuoted(out, value.name);
    }
    out += '=';
    if (value.type == REG_SZ) {
        if (std::optional<std::u16string> text = StringData(value.data)) {
            AppendQuoted(out, *text);
            return;
        }
    }
    if (value.type == REG_DWORD && value.data.size() == 4) {
        const unsigned long number = value.data[0] | (value.data[1] << 8) | (value.data[2] << 16) |
                                     (static_cast<unsigned long>(value.data[3]) << 24);
        out += "dword:";
        AppendHex(out, number, 8);
        return;
    }
    if (value.type == REG_BINARY) {
        out += "hex:";
    } else {
        out += "hex(";
        AppendHex(out, value.type, 1);
        out += "):";
    }
    AppendBytes(out, value.data);
}

// ---- reading the text ----

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// One line, already known to be UTF-8; each Read returns false with `error` set.
class LineReader {
  public:
    explicit LineReader(std::string_view line) : line_(line) {}

    bool AtEnd() const {
        return pos_ >= line_.size();
    }
    char Peek() const {
        return AtEnd() ? '\0' : line_[pos_];
    }
    bool Take(std::string_view expected) {
        if (line_.substr(pos_, expected.size()) != expected) {
            return false;
        }
        pos_ += expected.size();
        return true;
    }
    const char *Error() const {
        return error_;
    }

    bool Fail(const char *error) {
        error_ = error;
        return false;
    }

    bool ReadQuoted(std::u16string &text) {
        if (!Take("\"")) {
            return Fail("expected '\"'");
        }
        std::string run;
        for (;;) {
            if (AtEnd()) {
                return Fail("unterminated string");
            }
            const char c = line_[pos_++];
            if (c == '"') {
                break;
            }
            if (c != '\\') {
                run += c;
                continue;
            }
            text += WideFromUtf8(run);
            run.clear();
            const char escape = Peek();
            ++pos_;
            switch (escape) {
            case '\\':
            case '"':
                text += static_cast<char16_t>(escape);
                break;
            case 'n':
                text += u'\n';
                break;
            case 'r':
                text += u'\r';
                break;
            case 't':
                text += u'\t';
                break;
            case 'u': {
                unsigned long unit = 0;
                if (!ReadHex(4, 4, unit)) {
                    return Fail("invalid \\u escape");
                }
                text += static_cast<char16_t>(unit);
                break;
            }
            default:
                return Fail("invalid escape");
            }
        }
        text += WideFromUtf8(run);
        return true;
    }

    // Between least and most hex digits.
    bool ReadHex(size_t least, size_t most, unsigned long &value) {
        value = 0;
        size_t count = 0;
        while (count < most && !AtEnd() && HexDigit(line_[pos_]) >= 0) {
            value = value * 16 + static_cast<unsigned long>(HexDigit(line_[pos_++]));
            ++count;
        }
        return count >= least;
    }

    // "01,02,ff" up to the end of the line; nothing at all is no bytes.
    bool ReadBytes(std::vector<BYTE> &data) {
        while (!AtEnd()) {
            unsigned long byte = 0;
            if ((!data.empty() && !Take(",")) || !ReadHex(2, 2, byte)) {
                return Fail("invalid hex bytes");
            }
            data.push_back(static_cast<BYTE>(byte));
        }
        return true;
    }

    // Up to the next '\' or the end.
    std::string_view ReadBare() {
        const size_t start = pos_;
        while (!AtEnd() && line_[pos_] != '\\') {
            ++pos_;
        }
        return line_.substr(start, pos_ - start);
    }

  private:
    std::string_view line_;
    size_t pos_ = 0;
    const char *error_ = "";
};

bool SameAscii(std::u16string_view a, std::u16string_view b) {
    return Fold(a) == Fold(b);
}

bool ReadHeader(std::string_view line, RegistryKeyPath &path, const char *&error) {
    if (line.size() < 2 || line.back() != ']') {
        error = "key header without ']'";
        return false;
    }
    LineReader reader(line.substr(1, line.size() - 2));
    const std::u16string root = WideFromUtf8(reader.ReadBare());
    if (SameAscii(root, RootName(RegistryRoot::CurrentUser))) {
        path.root = RegistryRoot::CurrentUser;
    } else if (SameAscii(root, RootName(RegistryRoot::LocalMachine))) {
        path.root = RegistryRoot::LocalMachine;
    } else {
        error = "unknown root key";
        return false;
    }
    while (!reader.AtEnd()) {
        reader.Take("\\");
        std::u16string name;
        if (reader.Peek() == '"') {
            if (!reader.ReadQuoted(name)) {
                error = reader.Error();
                return false;
            }
            if (!reader.AtEnd() && reader.Peek() != '\\') {
                error = "text after a quoted key name";
                return false;
            }
        } else {
            const std::string_view bare = reader.ReadBare();
            for (char c : bare) {
                if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
                    error = "control character in a key name";
                    return false;
                }
            }
            name = WideFromUtf8(bare);
        }
        if (name.empty()) {
            error = "empty key name";
            return false;
        }
        path.names.push_back(std::move(name));
    }
    return true;
}

bool ReadValue(std::string_view line, RegistryValue &value, const char *&error) {
    LineReader reader(line);
    if (!reader.Take("@") && !reader.ReadQuoted(value.name)) {
        error = reader.Peek() == '"' ? reader.Error() : "expected a key header or a value";
        return false;
    }
    if (!reader.Take("=")) {
        error = "expected '=' after the value name";
        return false;
    }
    bool read = true;
    if (reader.Peek() == '"') {
        std::u16string text;
        read = reader.ReadQuoted(text);
        value.type = REG_SZ;
        for (char16_t c : text) {
            value.data.push_back(static_cast<BYTE>(c & 0xFF));
            value.data.push_back(static_cast<BYTE>(c >> 8));
        }
        value.data.push_back(0);
        value.data.push_back(0);
        if (read && !reader.AtEnd()) {
            read = reader.Fail("text after the string");
        }
    } else if (reader.Take("dword:")) {
        unsigned long number = 0;
        value.type = REG_DWORD;
        if (!reader.ReadHex(8, 8, number) || !reader.AtEnd()) {
            read = reader.Fail("a dword needs exactly 8 hex digits");
        }
        for (int shift = 0; shift < 32; shift += 8) {
            value.data.push_back(static_cast<BYTE>(number >> shift));
        }
    } else if (reader.Take("hex:")) {
        value.type = REG_BINARY;
        read = reader.ReadBytes(value.data);
    } else if (reader.Take("hex(")) {
        unsigned long type = 0;
        if (!reader.ReadHex(1, 8, type) || !reader.Take("):")) {
            read = reader.Fail("invalid hex(type)");
        } else {
            value.type = static_cast<DWORD>(type);
            read = reader.ReadBytes(value.data);
        }
    } else {
        read = reader.Fail("unknown value type");
    }
    if (!read) {
        error = reader.Error();
    }
    return read;
}

bool IsUtf8(std::string_view line) {
    // The conversions replace every invalid sequence, so only valid UTF-8 survives the round.
    return Utf8FromWide(WideFromUtf8(line)) == line;
}

} // namespace

std::string RegistryText(const RegistryTree &tree) {
    std::string out = "; Pennakey registry\n";
    for (const auto &[folded, key] : tree) {
        if (key.path.names.empty() && key.values.empty()) {
            continue;
        }
        out += '[';
        out += Utf8FromWide(RootName(key.path.root));
        for (const std::u16string &name : key.path.names) {
            out += '\\';
            AppendKeyName(out, name);
        }
        out += "]\n";
        for (const auto &[foldedName, value] : key.values) {
            AppendValue(out, value);
            out += '\n';
        }
    }
    return out;
}

RegistryTree RegistryFromText(std::string_view text, std::string &problem) {
    RegistryTree tree;
    problem.clear();
    RegistryKey *key = nullptr; // where values go; none before a header or after a bad one
    size_t number = 0;
    size_t start = 0;
    while (start < text.size()) {
        ++number;
        const size_t newline = text.find('\n', start);
        const char *error = nullptr;
        std::string_view line = text.substr(start, newline - start);
        start = newline == std::string_view::npos ? text.size() : newline + 1;
        while (!line.empty() &&
               (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) {
            line.remove_suffix(1);
        }
        if (newline == std::string_view::npos && line.empty()) {
            continue;
        }
        if (newline == std::string_view::npos) {
            // Every line is written with its end, so this one was cut short.
            error = "truncated line";
            key = nullptr;
        } else if (line.empty() || line[0] == ';') {
            continue;
        } else if (!IsUtf8(line)) {
            error = "not UTF-8";
            if (line[0] == '[') {
                key = nullptr;
            }
        } else if (line[0] == '[') {
            RegistryKeyPath path;
            key = ReadHeader(line, path, error) ? &EnsureKey(tree, path) : nullptr;
        } else {
            RegistryValue value;
            if (ReadValue(line, value, error) && key == nullptr) {
                error = "value outside a key";
            } else if (error == nullptr) {
                key->values[Fold(value.name)] = std::move(value);
            }
        }
        if (error != nullptr && problem.empty()) {
            problem = "line " + std::to_string(number) + ": " + error;
        }
    }
    return tree;
}
