// The --json document described once per record: each key with how it is written and how it is
// read back into the snapshot, side by side, so that no key is written without the reader
// knowing it. A section is a list of these; writing and reading walk the same list in order.
#pragma once

#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "core/json_values.h"

namespace nadrel::json {

// What was wrong with a value read back: where ("disks[1].size_bytes") and why.
struct ReadError {
    std::string path;
    std::string reason;
};
using ReadResult = std::optional<ReadError>;

template <typename T>
struct Field {
    std::string_view key;
    std::function<Json(const T&, const JsonOptions&)> write;
    // Empty for a key derived from others (a link's text beside its numbers): written only.
    std::function<ReadResult(const Json&, T&)> read;
};

template <typename T>
using Fields = std::vector<Field<T>>;

inline ReadResult fail(std::string reason) {
    return ReadError{{}, std::move(reason)};
}

// The error of a value inside a key or list item, its path extended in front.
inline ReadResult inside(std::string_view step, ReadResult error) {
    if (error) {
        const bool join = !error->path.empty() && error->path.front() != '[';
        error->path = std::string(step) + (join ? "." : "") + error->path;
    }
    return error;
}

template <typename T>
Json write_object(const T& value, const Fields<T>& fields, const JsonOptions& options) {
    Json j = Json::object();
    for (const Field<T>& f : fields)
        j[std::string(f.key)] = f.write(value, options);
    return j;
}

// Keys the document lacks keep the record's defaults (a document from before they existed);
// keys the fields do not name are left alone (a document from a newer nadrel).
template <typename T>
ReadResult read_object(const Json& j, T& value, const Fields<T>& fields) {
    if (!j.is_object())
        return fail("is not an object");
    for (const Field<T>& f : fields) {
        if (!f.read)
            continue;
        const auto found = j.find(f.key);
        if (found == j.end())
            continue;
        if (auto error = inside(f.key, f.read(*found, value)))
            return error;
    }
    return std::nullopt;
}

inline ReadResult read_text(const Json& j, std::string& out, std::string_view if_null) {
    if (j.is_null()) {
        out = if_null;
        return std::nullopt;
    }
    if (!j.is_string())
        return fail("is not a text or null");
    out = j.get_ref<const std::string&>();
    return std::nullopt;
}

// A list of texts, null items read as empty.
inline ReadResult read_text_list(const Json& j, std::vector<std::string>& out) {
    if (!j.is_array())
        return fail("is not a list");
    out.assign(j.size(), {});
    for (std::size_t i = 0; i < j.size(); ++i) {
        if (auto error = inside("[" + std::to_string(i) + "]", read_text(j[i], out[i], {})))
            return error;
    }
    return std::nullopt;
}

// A whole number that fits N; null is 0 (not known).
template <typename N>
ReadResult read_number(const Json& j, N& out) {
    if (j.is_null()) {
        out = 0;
        return std::nullopt;
    }
    constexpr std::uint64_t max = std::numeric_limits<N>::max();
    if (!j.is_number_unsigned() || j.get<std::uint64_t>() > max)
        return fail("is not a whole number from 0 to " + std::to_string(max));
    out = static_cast<N>(j.get<std::uint64_t>());
    return std::nullopt;
}

inline ReadResult read_flag(const Json& j, bool& out) {
    if (!j.is_boolean())
        return fail("is not true or false");
    out = j.get<bool>();
    return std::nullopt;
}

inline ReadResult read_optional_flag(const Json& j, std::optional<bool>& out) {
    if (j.is_null()) {
        out.reset();
        return std::nullopt;
    }
    bool value = false;
    auto error = read_flag(j, value);
    out = value;
    return error;
}

// Lower-case hexadecimal as hex_id writes it ("10de"), at most digits long; null is 0.
template <typename N>
ReadResult read_hex(const Json& j, N& out, std::size_t digits) {
    if (j.is_null()) {
        out = 0;
        return std::nullopt;
    }
    const std::string* s = j.is_string() ? &j.get_ref<const std::string&>() : nullptr;
    if (s == nullptr || s->empty() || s->size() > digits)
        return fail("is not " + std::to_string(digits) + " hexadecimal digits");
    std::uint64_t value = 0;
    for (const char c : *s) {
        const int digit = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : -1;
        if (digit < 0)
            return fail("is not " + std::to_string(digits) + " hexadecimal digits");
        value = value * 16 + static_cast<std::uint64_t>(digit);
    }
    out = static_cast<N>(value);
    return std::nullopt;
}

// A number that may be absent: null is absent.
template <typename N>
ReadResult read_optional_number(const Json& j, std::optional<N>& out) {
    if (j.is_null()) {
        out.reset();
        return std::nullopt;
    }
    N value{};
    auto error = read_number(j, value);
    out = value;
    return error;
}

// A measured value with a fraction (a temperature, a load); integers are numbers too.
inline ReadResult read_real(const Json& j, double& out) {
    if (!j.is_number() || !std::isfinite(j.get<double>()))
        return fail("is not a number");
    out = j.get<double>();
    return std::nullopt;
}

inline ReadResult read_optional_real(const Json& j, std::optional<double>& out) {
    if (j.is_null()) {
        out.reset();
        return std::nullopt;
    }
    double value = 0;
    auto error = read_real(j, value);
    out = value;
    return error;
}

// One of a fixed set of words, each standing for a value (the kernel's "Discharging" is
// "discharging"); null for any other value, read back as if_null.
template <typename V>
struct Word {
    V value;
    std::string_view word;
};

template <typename V>
Json word_of(const V& value, const std::vector<Word<V>>& words) {
    for (const Word<V>& w : words) {
        if (w.value == value)
            return std::string(w.word);
    }
    return nullptr;
}

template <typename V>
ReadResult read_word(const Json& j, V& out, const std::vector<Word<V>>& words, V if_null) {
    if (j.is_null()) {
        out = std::move(if_null);
        return std::nullopt;
    }
    for (const Word<V>& w : words) {
        if (j.is_string() && j.get_ref<const std::string&>() == w.word) {
            out = w.value;
            return std::nullopt;
        }
    }
    std::string known;
    for (const Word<V>& w : words)
        known += (known.empty() ? "" : ", ") + std::string(w.word);
    return fail("is not one of " + known + " or null");
}

// A rate in GT/s (16.0) back to MT/s; null is 0.
inline ReadResult read_gts(const Json& j, std::uint32_t& mts) {
    if (j.is_null()) {
        mts = 0;
        return std::nullopt;
    }
    if (!j.is_number() || !(j.get<double>() >= 0.0 && j.get<double>() <= 1.0e6))
        return fail("is not a rate in GT/s");
    mts = static_cast<std::uint32_t>(std::llround(j.get<double>() * 1000.0));
    return std::nullopt;
}

// The value b of the value a of a record: at(&S::cpu, &CpuInfo::model).
template <typename A, typename B>
auto at(A a, B b) {
    return [ a, b ](auto& t) -> auto& {
        return std::invoke(b, std::invoke(a, t));
    };
}

// A group of the record's own values under a key of its own ("chassis", "bios").
inline constexpr auto self = [](auto& t) -> auto& {
    return t;
};

// The makers of one record's fields. A projection is a member pointer or a lambda
// [](auto& t) -> auto& { return t.dmi.sys_vendor; } that reaches the value from the record.
template <typename T>
struct Keys {
    // A name or description (json::text): null for empty, read back as if_null.
    template <typename P>
    static Field<T> text(std::string_view key, P p, std::string_view if_null = {}) {
        return {
            key, [p](const T& t, const JsonOptions&) { return json::text(std::invoke(p, t)); },
            [p, if_null](const Json& j, T& t) { return read_text(j, std::invoke(p, t), if_null); }};
    }

    // A serial, address or tag (json::ident): null when sanitizing.
    template <typename P>
    static Field<T> ident(std::string_view key, P p, std::string_view if_null = {}) {
        return {
            key,
            [p](const T& t, const JsonOptions& o) { return json::ident(std::invoke(p, t), o); },
            [p, if_null](const Json& j, T& t) { return read_text(j, std::invoke(p, t), if_null); }};
    }

    // A count or measure where 0 means not known (json::known).
    template <typename P>
    static Field<T> known(std::string_view key, P p) {
        return {key, [p](const T& t, const JsonOptions&) { return json::known(std::invoke(p, t)); },
                [p](const Json& j, T& t) { return read_number(j, std::invoke(p, t)); }};
    }

    // A number written as it is, 0 included.
    template <typename P>
    static Field<T> number(std::string_view key, P p) {
        return {key, [p](const T& t, const JsonOptions&) { return Json(std::invoke(p, t)); },
                [p](const Json& j, T& t) { return read_number(j, std::invoke(p, t)); }};
    }

    // A PCI or USB identifier (json::hex_id).
    template <typename P>
    static Field<T> hex(std::string_view key, P p, int digits = 4) {
        return {key,
                [p, digits](const T& t, const JsonOptions&) {
                    return hex_id(std::invoke(p, t), digits);
                },
                [p, digits](const Json& j, T& t) {
                    return read_hex(j, std::invoke(p, t), static_cast<std::size_t>(digits));
                }};
    }

    // A count that may be absent (json::optional_number).
    template <typename P>
    static Field<T> maybe(std::string_view key, P p) {
        return {key,
                [p](const T& t, const JsonOptions&) { return optional_number(std::invoke(p, t)); },
                [p](const Json& j, T& t) { return read_optional_number(j, std::invoke(p, t)); }};
    }

    // A measurement that may be absent, as it is (a temperature, a limit).
    template <typename P>
    static Field<T> real(std::string_view key, P p) {
        return {key,
                [p](const T& t, const JsonOptions&) {
                    const std::optional<double>& value = std::invoke(p, t);
                    return value ? Json(*value) : Json(nullptr);
                },
                [p](const Json& j, T& t) { return read_optional_real(j, std::invoke(p, t)); }};
    }

    // An enumeration as its fixed word; null for a value without one.
    template <typename P, typename V>
    static Field<T> word(std::string_view key, P p, std::vector<Word<V>> words, V if_null = {}) {
        return {key,
                [p, words](const T& t, const JsonOptions&) {
                    return word_of<V>(std::invoke(p, t), words);
                },
                [p, words, if_null](const Json& j, T& t) {
                    return read_word<V>(j, std::invoke(p, t), words, if_null);
                }};
    }

    template <typename P>
    static Field<T> flag(std::string_view key, P p) {
        return {key, [p](const T& t, const JsonOptions&) { return Json(std::invoke(p, t)); },
                [p](const Json& j, T& t) { return read_flag(j, std::invoke(p, t)); }};
    }

    // Written from other values, never read back (the reader has those values).
    static Field<T> derived(std::string_view key, std::function<Json(const T&)> write) {
        return {key,
                [write = std::move(write)](const T& t, const JsonOptions&) { return write(t); },
                {}};
    }

    static Field<T> custom(std::string_view key, std::function<Json(const T&)> write,
                           std::function<ReadResult(const Json&, T&)> read) {
        return {key,
                [write = std::move(write)](const T& t, const JsonOptions&) { return write(t); },
                std::move(read)};
    }

    // A nested object: the fields of the record the projection reaches (the record itself,
    // [](auto& t) -> auto& { return t; }, for a group of its own values).
    template <typename P, typename U>
    static Field<T> object(std::string_view key, P p, Fields<U> fields) {
        return {
            key,
            [p, fields](const T& t, const JsonOptions& o) {
                return write_object(std::invoke(p, t), fields, o);
            },
            [p, fields](const Json& j, T& t) { return read_object(j, std::invoke(p, t), fields); }};
    }

    // A list of records, each an object of the given fields.
    template <typename P, typename U>
    static Field<T> list(std::string_view key, P p, Fields<U> fields) {
        return {key,
                [p, fields](const T& t, const JsonOptions& o) {
                    Json items = Json::array();
                    for (const U& item : std::invoke(p, t))
                        items.push_back(write_object(item, fields, o));
                    return items;
                },
                [p, fields](const Json& j, T& t) -> ReadResult {
                    if (!j.is_array())
                        return fail("is not a list");
                    std::vector<U>& out = std::invoke(p, t);
                    out.assign(j.size(), U{});
                    for (std::size_t i = 0; i < j.size(); ++i) {
                        const std::string step = "[" + std::to_string(i) + "]";
                        if (auto error = inside(step, read_object(j[i], out[i], fields)))
                            return error;
                    }
                    return std::nullopt;
                }};
    }

    // A list of names (json::text_list).
    template <typename P>
    static Field<T> texts(std::string_view key, P p) {
        return {key, [p](const T& t, const JsonOptions&) { return text_list(std::invoke(p, t)); },
                [p](const Json& j, T& t) { return read_text_list(j, std::invoke(p, t)); }};
    }
};

// The fields of a record held by another, as fields of the holder: a record's keys among
// its holder's own (the processor's state among the cpu object's keys).
template <typename T, typename U, typename P>
Fields<T> lift(const Fields<U>& fields, P p) {
    Fields<T> out;
    for (const Field<U>& f : fields) {
        out.push_back({f.key,
                       [p, write = f.write](const T& t, const JsonOptions& o) {
                           return write(std::invoke(p, t), o);
                       },
                       f.read ? std::function<ReadResult(const Json&, T&)>(
                                    [p, read = f.read](const Json& j, T& t) {
                                        return read(j, std::invoke(p, t));
                                    })
                              : nullptr});
    }
    return out;
}

template <typename T>
void append(Fields<T>& fields, const Fields<T>& more) {
    fields.insert(fields.end(), more.begin(), more.end());
}

}  // namespace nadrel::json
