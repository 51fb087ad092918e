// The program-name skip against a model of the rule: any command line bytes,
// ending at the first zero byte (or the end of the input).
#include <cstring>
#include <string_view>

#include "fuzz_input.h"
#include "runtime/startup.h"

namespace {

// Offset of the command tail in line, which holds the command line without
// its terminator. Only the blank separates.
std::size_t model_tail(std::string_view line) {
    auto after_blanks = [&line](std::size_t from) {
        std::size_t at = line.find_first_not_of(' ', from);
        return at == std::string_view::npos ? line.size() : at;
    };
    if (line.empty()) return 0;
    if (line[0] == '"') {
        std::size_t close = line.find('"', 1);
        if (close == std::string_view::npos) return line.size();  // unclosed: the tail is empty
        return after_blanks(close + 1);
    }
    if (line[0] == ' ') return after_blanks(0);
    std::size_t stop = 0;
    while (stop < line.size() && static_cast<unsigned char>(line[stop]) > 0x20) ++stop;
    if (stop < line.size() && line[stop] == ' ') return after_blanks(stop);
    return stop;  // a control character or the terminator begins the tail
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::size_t len = 0;
    while (len < size && data[len] != 0) ++len;

    // The line and its terminator in a block of exactly that size: a read past
    // the terminator is a heap overflow.
    char* line = new char[len + 1];
    std::memcpy(line, data, len);
    line[len] = 0;

    const char* tail = skip_program_name(line);
    FUZZ_EXPECT(tail >= line && tail <= line + len, "the tail within the %zu-byte line, got offset %td", len,
                tail - line);
    std::size_t want = model_tail(std::string_view(line, len));
    FUZZ_EXPECT(static_cast<std::size_t>(tail - line) == want, "tail at offset %zu, got %td", want, tail - line);
    FUZZ_EXPECT(*tail != ' ', "the tail not to begin with a blank (offset %td)", tail - line);

    delete[] line;
    return 0;
}
