#include "tools/common/text.h"

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cstdio>

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The character that starts at text[i]: its code point in c and its length
// in bytes, or 0 when no UTF-8 character starts there.
std::size_t decode_at(const std::string& text, std::size_t i, char32_t& c) {
    auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    unsigned char first = byte(i);
    std::size_t length = first < 0x80                     ? 1
                         : first >= 0xC2 && first <= 0xDF ? 2
                         : (first & 0xF0) == 0xE0         ? 3
                         : first >= 0xF0 && first <= 0xF4 ? 4
                                                          : 0;
    if (length == 0 || i + length > text.size()) return 0;
    c = length == 1 ? first : first & (0x7F >> length);
    for (std::size_t k = i + 1; k < i + length; ++k) {
        if ((byte(k) & 0xC0) != 0x80) return 0;
        c = (c << 6) | (byte(k) & 0x3F);
    }
    bool overlong = (length == 3 && c < 0x800) || (length == 4 && c < 0x10000);
    if (overlong || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) return 0;
    return length;
}

void append_utf8(std::string& out, char32_t c) {
    auto add = [&](unsigned v) { out += static_cast<char>(v); };
    if (c < 0x80) {
        add(c);
    } else if (c < 0x800) {
        add(0xC0 | (c >> 6));
        add(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        add(0xE0 | (c >> 12));
        add(0x80 | ((c >> 6) & 0x3F));
        add(0x80 | (c & 0x3F));
    } else {
        add(0xF0 | (c >> 18));
        add(0x80 | ((c >> 12) & 0x3F));
        add(0x80 | ((c >> 6) & 0x3F));
        add(0x80 | (c & 0x3F));
    }
}

// One character for a message: itself in quotes and its code point.
std::string character_named(char32_t c) {
    std::string text;
    append_utf8(text, c);
    char number[16];
    std::snprintf(number, sizeof number, "U+%04lX", static_cast<unsigned long>(c));
    return "\"" + text + "\" (" + number + ")";
}

bool blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// The quoted word that starts at line[i] (a quote), its end in i; false
// when the quote is not closed.
bool quoted_word(const std::string& line, std::size_t& i, std::string& word) {
    for (++i;; ++i) {
        if (i >= line.size()) return false;
        if (line[i] == '"') break;
        if (line[i] == '\\' && i + 1 < line.size() && (line[i + 1] == '"' || line[i + 1] == '\\')) ++i;
        word += line[i];
    }
    ++i;
    return true;
}

}  // namespace

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

std::string without_ampersands(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) ++i;
        out += text[i];
    }
    return out;
}

std::string lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::size_t utf8_error_at(const std::string& text) {
    char32_t c = 0;
    for (std::size_t i = 0, n; i < text.size(); i += n)
        if ((n = decode_at(text, i, c)) == 0) return i;
    return std::string::npos;
}

std::u32string code_points(const std::string& text) {
    std::u32string out;
    for (std::size_t i = 0; i < text.size();) {
        char32_t c = kReplacement;
        std::size_t n = decode_at(text, i, c);
        out += n > 0 ? c : kReplacement;
        i += n > 0 ? n : 1;
    }
    return out;
}

std::wstring utf16_of(const std::string& text) {
    std::wstring out;
    for (char32_t c : code_points(text)) {
        if (c < 0x10000) {
            out += static_cast<wchar_t>(c);
        } else {
            out += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        }
    }
    return out;
}

std::string utf8_of(const std::wstring& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = static_cast<char16_t>(text[i]);
        bool high = c >= 0xD800 && c <= 0xDBFF;
        char32_t next = i + 1 < text.size() ? static_cast<char16_t>(text[i + 1]) : 0;
        if (high && next >= 0xDC00 && next <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (next - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = kReplacement;
        }
        append_utf8(out, c);
    }
    return out;
}

std::string first_difference(const std::string& seen, const std::string& wanted) {
    std::u32string s = code_points(seen), w = code_points(wanted);
    std::size_t i = 0;
    while (i < s.size() && i < w.size() && s[i] == w[i]) ++i;
    std::string at = "character " + std::to_string(i + 1);
    if (i < s.size() && i < w.size())
        return at + " is " + character_named(s[i]) + " where the script has " + character_named(w[i]);
    if (i < w.size()) return "the text ends before " + at + ", where the script has " + character_named(w[i]);
    if (i < s.size()) return at + " is " + character_named(s[i]) + " where the script's text has ended";
    return "";  // the same code points: both are valid UTF-8, so the same bytes
}

Words command_line_words() {
    Words words;
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
    if (argv == nullptr) return words;
    for (int i = 0; i < count; ++i) words.push_back(utf8_of(argv[i]));
    LocalFree(argv);
    return words;
}

namespace {

void append_argument(std::string& line, const std::string& word) {
    if (!word.empty() && word.find_first_of(" \t\n\v\"") == std::string::npos) {
        line += word;
        return;
    }
    line += '"';
    std::size_t backslashes = 0;
    for (char c : word) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        // Backslashes are literal unless a quote follows them.
        line.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        line += c;
    }
    line.append(backslashes * 2, '\\');
    line += '"';
}

}  // namespace

std::string command_line_of(const Words& words) {
    std::string line;
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (i == 0) {
            line = "\"" + words[0] + "\"";
            continue;
        }
        line += ' ';
        append_argument(line, words[i]);
    }
    return line;
}

bool split_words(const std::string& line, Words& words) {
    words.clear();
    std::size_t i = 0;
    while (i < line.size()) {
        if (blank(line[i])) {
            ++i;
            continue;
        }
        if (line[i] == '#') break;
        std::string word;
        if (line[i] == '"') {
            if (!quoted_word(line, i, word)) return false;
        } else {
            while (i < line.size() && !blank(line[i])) word += line[i++];
        }
        words.push_back(word);
    }
    return true;
}

std::string joined(const Words& words) {
    std::string line;
    for (const std::string& w : words) line += (line.empty() ? "" : " ") + w;
    return line;
}

void use_utf8_lines() {
    SetConsoleOutputCP(CP_UTF8);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}
