// The one process-wide record of the run-time library.
#pragma once

#include <cstdint>

// The platform's OSVERSIONINFOA, laid out field for field.
struct VersionRecord {
    std::uint32_t dwOSVersionInfoSize;
    std::uint32_t dwMajorVersion;
    std::uint32_t dwMinorVersion;
    std::uint32_t dwBuildNumber;
    std::uint32_t dwPlatformId;
    char szCSDVersion[128];
};
static_assert(sizeof(VersionRecord) == 148, "OSVERSIONINFOA is 148 bytes");

// Where the application's global variables live; start-up zeroes it before
// main runs. A program names its area with KW_GLOBAL_AREA (startup.h).
struct GlobalArea {
    void* start;
    std::uint32_t size;
};

struct RuntimeState {
    void* instance;  // GetModuleHandleA(NULL), for every toolkit call that needs one

    // Platform detection (platform.h).
    std::uint16_t platform_flags;
    std::uint16_t version_word;
    std::uint8_t processor_class;

    // The static empty string: a zero word then a zero byte; every empty view
    // points at that byte.
    struct {
        std::uint32_t count;
        char byte;
    } static_empty;

    GlobalArea globals;
};

extern RuntimeState runtime_state;

// The bytes of the static empty string.
inline char* static_empty_string() { return &runtime_state.static_empty.byte; }
