// Helpers for tests of the string runtime, shared by the host and win32 tiers.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "runtime/checked.h"
#include "runtime/startup.h"
#include "runtime/state.h"
#include "runtime/string_alloc.h"
#include "runtime/strings.h"

// The bytes of an entry or handle as a std::string (embedded zeros kept).
inline std::string bytes_of(StringEntry e) {
    StringView v = view_string(e);
    return std::string(v.bytes, v.count);
}

// The 32-bit count the allocator keeps before the bytes of a handle.
inline std::uint32_t count_word_of(DynString h) { return string_block_count(reinterpret_cast<const char*>(h)); }

// A fresh string runtime for every test, and a check that it ends with no
// string leaked or freed twice.
class StringRuntimeTest : public ::testing::Test {
protected:
    void SetUp() override {
        reset_runtime();
        fail_string_allocation_at(0);
        live_at_start_ = live_string_count();
    }
    void TearDown() override {
        fail_string_allocation_at(0);
        EXPECT_EQ(live_string_count(), live_at_start_) << "string blocks leaked or freed twice";
    }
    std::int32_t live() const { return live_string_count() - live_at_start_; }
    std::uint32_t calls() const { return string_allocation_count(); }
    // Makes the k-th allocation from now on fail.
    void fail_allocation(std::uint32_t k) { fail_string_allocation_at(k); }
    // An owned string of the given bytes, made through the runtime.
    DynString make(const std::string& s) {
        ProcFrame f;
        push_copy(f, s.data(), static_cast<std::uint32_t>(s.size()));
        DynString h = 0;
        string_assign(f, h);
        return h;
    }

private:
    std::int32_t live_at_start_ = 0;
};
