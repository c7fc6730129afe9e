// Addresses and words inside free text: a scan over runs of address characters, each run
// tested against the written forms of hardware and IPv6 addresses.
#include "core/text/addresses.h"

#include <vector>

namespace nadrel {

namespace {

bool is_hex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool is_alnum(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool is_address_char(char c) {
    return is_hex(c) || c == ':' || c == '-' || c == '.';
}

bool all_hex(std::string_view s) {
    for (const char c : s) {
        if (!is_hex(c))
            return false;
    }
    return true;
}

std::vector<std::string_view> split(std::string_view s, char separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t at = s.find(separator, start);
        parts.push_back(s.substr(start, at - start));
        if (at == std::string_view::npos)
            return parts;
        start = at + 1;
    }
}

// "00:11:22:33:44:55", "00-11-22-33-44-55", eight groups for EUI-64, "0011.2233.4455".
bool is_hardware_address(std::string_view run) {
    for (const char separator : {':', '-', '.'}) {
        const auto parts = split(run, separator);
        const std::size_t width = separator == '.' ? 4 : 2;
        const bool count_fits =
            separator == '.' ? parts.size() == 3 : (parts.size() == 6 || parts.size() == 8);
        if (!count_fits)
            continue;
        bool fits = true;
        for (const std::string_view part : parts)
            fits = fits && part.size() == width && all_hex(part);
        if (fits)
            return true;
    }
    return false;
}

bool is_ipv4(std::string_view s) {
    const auto parts = split(s, '.');
    if (parts.size() != 4)
        return false;
    for (const std::string_view part : parts) {
        if (part.empty() || part.size() > 3)
            return false;
        unsigned value = 0;
        for (const char c : part) {
            if (c < '0' || c > '9')
                return false;
            value = value * 10 + static_cast<unsigned>(c - '0');
        }
        if (value > 255)
            return false;
    }
    return true;
}

bool is_ipv6(std::string_view run) {
    const std::size_t gap = run.find("::");
    if (gap != std::string_view::npos && run.find("::", gap + 1) != std::string_view::npos)
        return false;  // two gaps, or ":::"
    const bool compressed = gap != std::string_view::npos;
    const auto parts = split(run, ':');
    if (parts.size() < 3)
        return false;
    std::size_t groups = 0;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const std::string_view part = parts[i];
        if (part.empty()) {
            // Empty parts only where "::" stands: at its place, or at an end it touches.
            const bool at_start = i <= 1 && gap == 0;
            const bool at_end = i + 2 >= parts.size() && gap == run.size() - 2;
            const bool in_middle = i != 0 && i + 1 != parts.size();
            if (!compressed || !(at_start || at_end || in_middle))
                return false;
            continue;
        }
        if (i + 1 == parts.size() && part.find('.') != std::string_view::npos) {
            if (!is_ipv4(part))
                return false;
            groups += 2;
            continue;
        }
        if (part.size() > 4 || !all_hex(part))
            return false;
        ++groups;
    }
    return compressed ? groups <= 7 : groups == 8;
}

// The run without separators that only border it ("addr 00:11:22:33:44:55." ends a sentence);
// "::" stays, it belongs to an IPv6 address.
std::string_view strip_edges(std::string_view run, std::size_t& start) {
    while (!run.empty() &&
           (run.back() == '.' || run.back() == '-' || (run.back() == ':' && !run.ends_with("::"))))
        run.remove_suffix(1);
    while (!run.empty() && (run.front() == '.' || run.front() == '-' ||
                            (run.front() == ':' && !run.starts_with("::")))) {
        run.remove_prefix(1);
        ++start;
    }
    return run;
}

}  // namespace

std::optional<std::string> mac_digits(std::string_view mac) {
    std::string digits;
    for (const char c : mac) {
        if (is_hex(c))
            digits += lower(c);
        else if (c != ':' && c != '-' && c != ' ' && c != '\n')
            return std::nullopt;
    }
    if (digits.size() != 12 || digits == "000000000000" || digits == "ffffffffffff")
        return std::nullopt;
    return digits;
}

std::optional<AddressMatch> find_address(std::string_view text, std::size_t from) {
    std::size_t i = from;
    while (i < text.size()) {
        if (!is_address_char(text[i])) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < text.size() && is_address_char(text[end]))
            ++end;
        const bool bounded =
            (i == 0 || !is_alnum(text[i - 1])) && (end == text.size() || !is_alnum(text[end]));
        std::size_t start = i;
        const std::string_view run = strip_edges(text.substr(i, end - i), start);
        if (bounded && run.size() >= 2) {
            if (is_hardware_address(run))
                return AddressMatch{{start, start + run.size()}, false};
            if (is_ipv6(run))
                return AddressMatch{{start, start + run.size()}, true};
        }
        i = end;
    }
    return std::nullopt;
}

std::optional<TextMatch> find_mac_digits(std::string_view text, std::string_view digits,
                                         std::size_t from) {
    if (digits.size() != 12)
        return std::nullopt;
    for (std::size_t i = from; i < text.size(); ++i) {
        std::size_t j = i;
        std::size_t k = 0;
        for (; k < digits.size(); ++k) {
            // One separator may stand between two pairs of digits.
            if (k != 0 && k % 2 == 0 && j < text.size() &&
                (text[j] == ':' || text[j] == '-' || text[j] == '.'))
                ++j;
            if (j >= text.size() || lower(text[j]) != digits[k])
                break;
            ++j;
        }
        if (k == digits.size())
            return TextMatch{i, j};
    }
    return std::nullopt;
}

std::optional<TextMatch> find_word(std::string_view text, std::string_view word, std::size_t from) {
    if (word.empty())
        return std::nullopt;
    for (std::size_t at = text.find(word, from); at != std::string_view::npos;
         at = text.find(word, at + 1)) {
        const std::size_t end = at + word.size();
        if ((at == 0 || !is_alnum(text[at - 1])) && (end == text.size() || !is_alnum(text[end])))
            return TextMatch{at, end};
    }
    return std::nullopt;
}

}  // namespace nadrel
