// Texts for the tests that run in both code pages a program can have: UTF-8
// (its manifest's activeCodePage) and the system's ANSI code page (no
// activeCodePage; 1252 under Wine here). Each text is written out as that
// code page's bytes and, separately, as the UTF-16 the platform must hold for
// them, so a test that reads the platform's UTF-16 catches a wrong code page
// even when it is used both ways.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

// A text as one code page's bytes and the UTF-16 that stands for them.
struct CodedText {
    const char* bytes;
    const wchar_t* wide;
};

// One test text in each code page: in UTF-8 it may hold any script, in 1252
// only that code page's letters.
struct TextInCodePages {
    CodedText utf8;
    CodedText cp1252;
    // The text in the process's code page.
    const CodedText& here() const {
        UINT code_page = GetACP();
        if (code_page != CP_UTF8 && code_page != 1252)
            ADD_FAILURE() << "the test texts are for code pages 65001 and 1252, not " << code_page;
        return code_page == CP_UTF8 ? utf8 : cp1252;
    }
};

// Bytes alone, where the test reads no UTF-16.
inline const char* bytes_here(const char* utf8, const char* cp1252) {
    return TextInCodePages{{utf8, nullptr}, {cp1252, nullptr}}.here().bytes;
}
