#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into fuzz/corpus/<target>/.

   fuzz/make_seeds.py [DIR]     (DIR defaults to fuzz/corpus beside this file)

Each seed is laid out as its target reads its input (see the comment at the
top of each target).
"""
import os
import struct
import sys

out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")


def seed(target, name, data):
    d = os.path.join(out, target)
    os.makedirs(d, exist_ok=True)
    with open(os.path.join(d, name), "wb") as f:
        f.write(data)


# template_builder: x, y, width, height, style, exstyle, then the title bytes.
def dialog(x, y, w, h, style, exstyle):
    return struct.pack("<iiiiII", x, y, w, h, style, exstyle)


t = "template_builder"
seed(t, "greeting_dialog", dialog(-1, -1, 160, 50, 0, 0) + b"What is your name?")
seed(t, "empty_title", dialog(10, 20, 100, 40, 0, 0))
seed(t, "title_300_bytes", dialog(-1, 10, 0x12345, -2, 0x10000002, 0x101) + b"T" * 300)
seed(t, "zero_inside_title", dialog(0, -1, 1, 1, 0x10000000, 0) + b"ab\x00cd")
seed(t, "high_bytes", dialog(32767, -32768, 65535, 65536, 0xFFFFFFFF, 0xFFFFFFFF) + bytes([0xE9, 0xFF, 0x80, 0x20]))
seed(t, "zero_first", dialog(5, 5, 5, 5, 0x80C00000, 0) + b"\x00title")


# control_style: kind byte, style, exstyle, pixel width, pixel height.
def control(kind, style, exstyle, pw, ph):
    return struct.pack("<BIIii", kind, style, exstyle, pw, ph)


t = "control_style"
seed(t, "text_box_default", control(9, 0, 0, 100, 20))
seed(t, "push_button_default_id", control(1, 1, 0, 50, 14))
seed(t, "scroll_bar_tall", control(8, 0, 0, 10, 100))
seed(t, "three_state_disabled", control(2, 0x08000020, 0, 10, 10))
seed(t, "list_box_no_border", control(15, 0x50000000, 0x4, 1, 1))
seed(t, "custom_kind", control(0, 0, 0, 0, 0))
seed(t, "image_button", control(12, 0, 0x10, 30, 30))
seed(t, "kind_beyond_table", control(20, 0x1234, 0x5678, -1, -2))

# command_tail: the command line and its terminator.
t = "command_tail"
seed(t, "quoted_name", b'"C:\\Program Files\\greet.exe"  arg1 arg2\x00')
seed(t, "bare_name_only", b"greet.exe\x00")
seed(t, "bare_name_tab", b"greet.exe\targ\x00")
seed(t, "leading_blanks", b"   greet.exe arg\x00")
seed(t, "unclosed_quote", b'"greet.exe arg\x00')
seed(t, "quote_then_text", b'"a"b c\x00')
seed(t, "several_blanks", b"greet    -x\x00")


# divide_rounded: n, d, pixels, scale.
def division(n, d, pixels, scale):
    return struct.pack("<iiii", n, d, pixels, scale)


t = "divide_rounded"
seed(t, "halves", division(1, 2, 1, 2000))
seed(t, "negative_half", division(-3, 2, -7, 1500))
seed(t, "scale_1625", division(81000, 1625, 81, 1625))
seed(t, "zero_divisor", division(12345, 0, 2147483647, 0))
seed(t, "overflow", division(-2147483648, -1, -2147483648, 1))
seed(t, "min_divisor", division(1073741824, -2147483648, 2147483647, -2147483648))
seed(t, "scale_1750", division(240000, 1500, 412, 1750))

# string_ops: a program of operations, each an opcode byte (modulo 12) and its
# operands: 0 push_empty, 1 push_literal k, 2 push_copy n bytes..., 3 push_crlf,
# 4 push_borrowed var, 5 push_handle n bytes..., 6 shrunk n bytes... keep,
# 7 pop_string, 8 string_assign var, 9 string_concat, 10 fail_at k, 11 clear
# the error word. Literals: 0 "Hello ", 1 "", 2 "a\0b", 3 "OK", 4 "Cancel",
# 5 "What is your name?".
t = "string_ops"
seed(t, "greeting", bytes([1, 0, 8, 0, 1, 0, 4, 0, 9, 0, 7, 7]))
seed(t, "assign_in_place", bytes([2, 3]) + b"Ann" + bytes([8, 1, 2, 3]) + b"Bob" + bytes([8, 0, 4, 0, 8, 1, 4, 1, 8, 1]))
seed(t, "six_pushes", bytes([1, 3, 4, 0, 3, 0, 5, 2, 1, 2, 1, 4, 9, 7, 7, 7, 7]))
seed(t, "six_pushes_lent", bytes([2, 3]) + b"Ann" + bytes([8, 1, 1, 3, 0, 3, 0, 4, 1, 1, 4, 9, 7, 7, 7, 7, 7]))
seed(t, "concat_fails", bytes([1, 0, 1, 3, 10, 1, 9, 11, 7]))
seed(t, "literal_fails", bytes([10, 2, 1, 0, 1, 2, 1, 4, 8, 2, 7]))
seed(t, "shrink_and_zero", bytes([6, 8, 1, 0, 2, 0, 3, 4, 5, 6, 3, 6, 4, 9, 9, 9, 9, 0, 2, 3])
     + b"a\x00b" + bytes([9, 8, 2, 4, 2, 4, 2, 9, 8, 0]))

# number_text: a 32-bit value, then the text read as a number.
t = "number_text"
seed(t, "plain", struct.pack("<i", 42) + b"42")
seed(t, "blanks_and_sign", struct.pack("<i", -7) + b" \t-2147483648 ")
seed(t, "too_large", struct.pack("<i", -2147483648) + b"2147483648")
seed(t, "no_digits", struct.pack("<i", 2147483647) + b"+ 1")
