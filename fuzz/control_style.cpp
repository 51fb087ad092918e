// Control styles against an independent copy of the control kind table: any
// kind 0 to 23, any style and extended style, any pixel size.
//
// Input: kind (one byte, taken modulo 24), then style, exstyle, pixel width and
// pixel height as little-endian 32-bit words.
#include <cstring>

#include "fuzz_input.h"
#include "tests/common/control_kind_cases.h"
#include "toolkit/control_kinds.h"

namespace {

constexpr char kCustomClass[] = "CustomClass";

ControlStyle model(std::uint32_t kind, std::uint32_t style, std::uint32_t exstyle, std::int32_t pw, std::int32_t ph) {
    if (kind == 0) return {style, exstyle, kCustomClass};
    if (kind > 21) return {style, exstyle, nullptr};
    const ControlKindCase& row = control_kind_case(kind);
    if (style == 0) {
        style = row.default_style;
        if (kind == 8 && pw < ph) style |= 0x1;  // SBS_VERT: taller than wide
        bool border_kind = kind == 9 || kind == 14 || kind == 15 || kind == 16;
        if (border_kind && (style & 0x00800000)) {
            style ^= 0x00800000;  // WS_BORDER becomes WS_EX_CLIENTEDGE
            exstyle |= 0x200;
        }
    }
    return {(style | row.forced) & ~row.forbidden, exstyle, row.class_name};
}

std::uint32_t model_fallback(std::uint32_t kind, std::uint32_t style) {
    switch (kind) {
        case 10:
        case 11:
            return (style & ~0xEu) | 0x3u;  // SS_BITMAP becomes SS_ICON
        case 12:
        case 13:
            return (style & ~0x80u) | 0x40u;  // BS_BITMAP becomes BS_ICON
        default:
            return style;
    }
}

bool same_class(const char* a, const char* b) {
    if (a == nullptr || b == nullptr) return a == b;
    return std::strcmp(a, b) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    std::uint32_t kind = in.u8() % 24;
    std::uint32_t style = in.u32(), exstyle = in.u32();
    std::int32_t pw = in.i32(), ph = in.i32();

    ControlStyle got = compute_control_style(kind, style, exstyle, pw, ph, kCustomClass);
    ControlStyle want = model(kind, style, exstyle, pw, ph);
    FUZZ_EXPECT(got.style == want.style, "kind %u style 0x%08X gives 0x%08X, got 0x%08X", kind, style, want.style,
                got.style);
    FUZZ_EXPECT(got.exstyle == want.exstyle, "kind %u exstyle 0x%08X gives 0x%08X, got 0x%08X", kind, exstyle,
                want.exstyle, got.exstyle);
    FUZZ_EXPECT(same_class(got.class_name, want.class_name), "kind %u class %s, got %s", kind,
                want.class_name ? want.class_name : "(none)", got.class_name ? got.class_name : "(none)");
    if (kind == 0) FUZZ_EXPECT(got.class_name == kCustomClass, "kind 0 to take the caller's class name%s", "");

    if (kind >= 1 && kind <= 21) {
        const ControlKindCase& row = control_kind_case(kind);
        FUZZ_EXPECT((got.style & 0x50000000u) == 0x50000000u, "kind %u a visible child, got 0x%08X", kind, got.style);
        FUZZ_EXPECT((got.style & row.forced) == row.forced, "kind %u forced bits in 0x%08X", kind, got.style);
        FUZZ_EXPECT((got.style & row.forbidden) == 0, "kind %u no forbidden bits in 0x%08X", kind, got.style);
        FUZZ_EXPECT((got.exstyle & exstyle) == exstyle, "kind %u keeps exstyle 0x%08X, got 0x%08X", kind, exstyle,
                    got.exstyle);
        if (style == 0 && exstyle == 0) {
            std::uint32_t from_zero = row.from_zero_style | ((kind == 8 && pw < ph) ? 1u : 0u);
            FUZZ_EXPECT(got.style == from_zero && got.exstyle == row.from_zero_exstyle,
                        "kind %u from style 0: 0x%08X/0x%X, got 0x%08X/0x%X", kind, from_zero, row.from_zero_exstyle,
                        got.style, got.exstyle);
        }
        if (style != 0) {
            FUZZ_EXPECT(got.exstyle == exstyle, "kind %u leaves a given style's exstyle alone, got 0x%08X", kind,
                        got.exstyle);
        }
    }

    bool image = kind >= 10 && kind <= 13;
    FUZZ_EXPECT(is_image_kind(kind) == image, "kind %u %s an image kind", kind, image ? "is" : "is not");
    std::uint32_t fb = image_fallback_style(kind, style);
    FUZZ_EXPECT(fb == model_fallback(kind, style), "kind %u fallback of 0x%08X is 0x%08X, got 0x%08X", kind, style,
                model_fallback(kind, style), fb);
    return 0;
}
