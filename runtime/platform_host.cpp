// Platform detection on the host: there is no Windows platform to ask, so the
// version record is classified with an empty SYSTEM_INFO, no CPUID and no
// floating-point processor key. That gives class 3 and no MMX bit.
#include "runtime/platform.h"

namespace {

std::uint32_t no_cpuid() { return 0; }
bool no_fpu_key() { return false; }

}  // namespace

void detect_platform() {
    PlatformInfo info = classify_platform(runtime_state.version, SystemInfoView{}, no_cpuid, no_fpu_key);
    runtime_state.platform_flags = info.platform_flags;
    runtime_state.version_word = info.version_word;
    runtime_state.processor_class = info.processor_class;
}
