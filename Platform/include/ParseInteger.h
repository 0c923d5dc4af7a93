#pragma once
// Whole-word decimal numbers typed by people or written in text files (session words, resource
// numbers): one rule everywhere. The word is a number only as a whole, with an optional sign and
// no spaces, and only when it fits the type.
#include <charconv>
#include <concepts>
#include <string_view>
#include <system_error>

template <std::integral T>
bool ParseInteger(std::string_view text, T& value) {
    if (text.size() > 1 && text.front() == '+' && text[1] != '-') text.remove_prefix(1);
    T parsed{};
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, parsed);
    if (text.empty() || error != std::errc() || stop != end) return false;
    value = parsed;
    return true;
}
