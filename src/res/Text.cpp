#include "Text.h"

#include <windows.h>

namespace {

// String resources are numbered in 16 bits; a larger number would wrap to
// another text inside LoadStringW.
constexpr long long kLastTextId = 0xFFFF;

// Converts UTF-16 to the process code page, which the manifest makes UTF-8
// where Windows supports it.
std::string ToAnsi(const std::wstring& text)
{
    const int length = static_cast<int>(text.size());
    const int size = ::WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return {};
    std::string result(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text.data(), length, &result[0], size, nullptr, nullptr);
    return result;
}

// Reads a text of the program's own module; out-of-range numbers are missing.
std::wstring LoadTextAt(long long id)
{
    if (id < 0 || id > kLastTextId)
        return {};
    // With a buffer size of 0 LoadStringW hands back a read-only pointer into
    // the resource and the text's length, so no text is cut at a buffer size.
    const wchar_t* text = nullptr;
    const int length
        = ::LoadStringW(::GetModuleHandleA(nullptr), static_cast<UINT>(id), reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || text == nullptr)
        return {};
    return std::wstring(text, static_cast<size_t>(length));
}

template <typename Char>
std::basic_string<Char> Expand(const std::basic_string<Char>& format, const std::basic_string<Char>& argument)
{
    std::basic_string<Char> result;
    result.reserve(format.size() + argument.size());
    for (size_t i = 0; i < format.size(); ++i) {
        const Char next = i + 1 < format.size() ? format[i + 1] : Char('\0');
        if (format[i] == Char('%') && next == Char('s')) {
            result += argument;
            ++i;
        } else if (format[i] == Char('%') && next == Char('%')) {
            result += Char('%');
            ++i;
        } else {
            result += format[i];
        }
    }
    return result;
}

}  // namespace

std::string LoadFixedText(unsigned id)
{
    return ToAnsi(LoadTextAt(id));
}

std::wstring LoadFixedCaption(unsigned id)
{
    return LoadTextAt(id);
}

std::wstring LoadText(unsigned id, int languageOffset)
{
    return LoadTextAt(static_cast<long long>(id) + languageOffset);
}

std::string FormatFixedText(unsigned id, const std::string& argument)
{
    return ExpandFormat(LoadFixedText(id), argument);
}

std::wstring FormatText(unsigned id, int languageOffset, const std::string& argument)
{
    return ExpandFormat(LoadText(id, languageOffset), WidenSystemText(argument));
}

std::string ExpandFormat(const std::string& format, const std::string& argument)
{
    return Expand(format, argument);
}

std::wstring ExpandFormat(const std::wstring& format, const std::wstring& argument)
{
    return Expand(format, argument);
}

std::wstring WidenSystemText(const std::string& text)
{
    const int length = static_cast<int>(text.size());
    const int size = ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
    if (size <= 0)
        return {};
    std::wstring result(static_cast<size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, &result[0], size);
    return result;
}
