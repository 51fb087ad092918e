// Compiled into every program without link-time optimisation (see
// kestrowane_link_program in KestrowaneProgram.cmake). The code generated at
// link time probes the stack of a frame larger than a page through libgcc's
// ___chkstk_ms, which no object names before that code generation: the linker
// then loads it from libgcc only afterwards, and binutils 2.40 dies with a
// segmentation fault writing the base relocations (docs/platform.md). This
// table names the probes so that the linker loads them with the other objects,
// before the code generation; with them loaded first, libgcc's other helpers
// (64-bit division on i686, 128-bit division, conversions) load late without
// the crash. Nothing refers to the table: --gc-sections drops it, and the
// probes too where no code calls them (they carry no unwind tables that would
// keep them).
using KestrowaneHelper = void();

extern "C" {
KestrowaneHelper kestrowane_probe_ms __asm__("___chkstk_ms"), kestrowane_probe __asm__("___chkstk"),
    kestrowane_alloca __asm__("__alloca");
extern KestrowaneHelper* const kestrowane_link_helpers[];
KestrowaneHelper* const kestrowane_link_helpers[] = {kestrowane_probe_ms, kestrowane_probe, kestrowane_alloca};
}
