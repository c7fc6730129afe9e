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
                [p](const Json& j, T& t) -> ReadResult {
                    if (!j.is_array())
                        return fail("is not a list");
                    std::vector<std::string>& out = std::invoke(p, t);
                    out.assign(j.size(), {});
                    for (std::size_t i = 0; i < j.size(); ++i) {
                        if (auto error =
                                inside("[" + std::to_string(i) + "]", read_text(j[i], out[i], {})))
                            return error;
                    }
                    return std::nullopt;
                }};
    }
};

}  // namespace nadrel::json
