#include "tools/text.h"

namespace {

// The text in code page `to`, read in code page `from`; the text unchanged when
// it is not valid there (with MB_ERR_INVALID_CHARS in check).
std::string recode(const std::string& text, UINT from, UINT to, DWORD check) {
    int n = MultiByteToWideChar(from, check, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (n <= 0) return text;
    std::wstring w(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), &w[0], n);
    int bytes = WideCharToMultiByte(to, 0, w.data(), n, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0) WideCharToMultiByte(to, 0, w.data(), n, &out[0], bytes, nullptr, nullptr);
    return out;
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

std::string quoted(const std::string& text) { return "\"" + to_utf8(text) + "\""; }

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

std::string from_utf8(const std::string& text) { return recode(text, CP_UTF8, CP_ACP, MB_ERR_INVALID_CHARS); }

std::string to_utf8(const std::string& text) { return recode(text, CP_ACP, CP_UTF8, 0); }

std::string from_utf16(const std::wstring& text) {
    int n = static_cast<int>(text.size());
    int bytes = WideCharToMultiByte(CP_ACP, 0, text.data(), n, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0) WideCharToMultiByte(CP_ACP, 0, text.data(), n, &out[0], bytes, nullptr, nullptr);
    return out;
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
