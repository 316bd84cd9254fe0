#pragma once

#include <string>
#include <string_view>

// Conversions between the text forms the programs meet: wide strings inside, UTF-8 on the
// POSIX file system and in text files, UTF-16 little-endian in the list files. Invalid
// sequences become U+FFFD; nothing throws.
namespace platform {

std::wstring WideFromUtf8(std::string_view text);
std::string Utf8FromWide(std::wstring_view text);

std::u16string Utf16FromWide(std::wstring_view text);
std::wstring WideFromUtf16(std::u16string_view text);

// A path as the file system wants it: "\" becomes "/" on POSIX, and the text is UTF-8.
std::string NativePath(std::wstring_view path);
// A native path back as a wide path (no separator change).
std::wstring WidePath(std::string_view native);

// Simple case folding for names that compare without regard to case (registry names, file
// names of libraries).
wchar_t FoldCase(wchar_t c);
std::wstring FoldCase(std::wstring_view text);
bool EqualsNoCase(std::wstring_view a, std::wstring_view b);

}  // namespace platform
