// The live readout card's content from the machine: serials, addresses, the gateway, disk
// serials and the notes, then a sample at each refresh.
#include "linux/live/card.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <utility>

#include "core/live/route.h"
#include "core/sanitize.h"
#include "core/smbios/tables.h"
#include "core/text/unicode.h"
#include "linux/root/unique_fd.h"

namespace nadrel {

namespace {

constexpr std::string_view serial_note =
    "System and board serials are readable only as root on Linux (the DMI table is mode "
    "0400). Run with sudo to see them.";
constexpr std::string_view no_serial_note =
    "This machine exposes no system or board serial numbers.";
constexpr std::string_view public_ip_note =
    "The public IP address is not shown: finding it means asking an outside service, and "
    "Nadrel makes no network calls.";

std::optional<std::string> trimmed(const SysRoot& root, const std::string& path) {
    const auto text = read_text(root, path);
    if (!text) {
        return std::nullopt;
    }
    return std::string(trim(*text));
}

std::optional<std::string> local_ipv4() {
    UniqueFd fd(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    if (fd.get() < 0) {
        return std::nullopt;
    }
    sockaddr_in any{};
    any.sin_family = AF_INET;
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_port = htons(80);
    if (::inet_pton(AF_INET, "192.0.2.1", &peer.sin_addr) != 1 ||
        ::bind(fd.get(), reinterpret_cast<const sockaddr*>(&any), sizeof any) != 0 ||
        ::connect(fd.get(), reinterpret_cast<const sockaddr*>(&peer), sizeof peer) != 0) {
        return std::nullopt;
    }
    sockaddr_in local{};
    socklen_t len = sizeof local;
    char text[INET_ADDRSTRLEN] = {};
    if (::getsockname(fd.get(), reinterpret_cast<sockaddr*>(&local), &len) != 0 ||
        ::inet_ntop(AF_INET, &local.sin_addr, text, sizeof text) == nullptr) {
        return std::nullopt;
    }
    return std::string(text);
}

std::optional<std::string> local_ipv6() {
    UniqueFd fd(::socket(AF_INET6, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    if (fd.get() < 0) {
        return std::nullopt;
    }
    sockaddr_in6 any{};
    any.sin6_family = AF_INET6;
    sockaddr_in6 peer{};
    peer.sin6_family = AF_INET6;
    peer.sin6_port = htons(80);
    if (::inet_pton(AF_INET6, "2001:db8::1", &peer.sin6_addr) != 1 ||
        ::bind(fd.get(), reinterpret_cast<const sockaddr*>(&any), sizeof any) != 0 ||
        ::connect(fd.get(), reinterpret_cast<const sockaddr*>(&peer), sizeof peer) != 0) {
        return std::nullopt;
    }
    sockaddr_in6 local{};
    socklen_t len = sizeof local;
    char text[INET6_ADDRSTRLEN] = {};
    if (::getsockname(fd.get(), reinterpret_cast<sockaddr*>(&local), &len) != 0 ||
        ::inet_ntop(AF_INET6, &local.sin6_addr, text, sizeof text) == nullptr) {
        return std::nullopt;
    }
    return std::string(text);
}

}  // namespace

LocalAddresses probe_local_addresses() {
    return {local_ipv4(), local_ipv6()};
}

LiveStatic read_live_static(const SysRoot& root, const AddressProbe& probe) {
    LiveStatic out;
    const std::pair<const char*, const char*> serials[] = {
        {"System serial", "/sys/class/dmi/id/product_serial"},
        {"Board serial", "/sys/class/dmi/id/board_serial"},
        {"System UUID", "/sys/class/dmi/id/product_uuid"},
    };
    bool unreadable = false;  // there, but not for us: only root reads them
    for (const auto& [label, path] : serials) {
        const auto value = trimmed(root, path);
        if (value && !is_placeholder(*value)) {
            out.rows.emplace_back(label, *value);
        }
        unreadable = unreadable || (!value && exists(root, path));
    }
    if (out.rows.empty()) {
        out.notes.emplace_back(unreadable ? serial_note : no_serial_note);
    }
    for (const std::string& name : physical_interfaces(root)) {
        const auto mac = trimmed(root, "/sys/class/net/" + name + "/address");
        if (mac && !mac->empty()) {
            out.rows.emplace_back(name + " MAC", *mac);
        }
    }
    const LocalAddresses addresses = probe ? probe() : LocalAddresses{};
    if (addresses.ipv4) {
        out.rows.emplace_back("Local IP", *addresses.ipv4);
    }
    if (addresses.ipv6) {
        out.rows.emplace_back("Local IPv6", *addresses.ipv6);
    }
    if (const auto routes = read_text(root, "/proc/net/route", list_limit)) {
        if (const auto gateway = default_gateway(*routes)) {
            out.rows.emplace_back("Default gateway", *gateway);
        }
    }
    for (const std::string& name : list_dir_sorted(root, "/sys/block")) {
        auto serial = trimmed(root, "/sys/block/" + name + "/device/serial");
        if (!serial || serial->empty()) {
            serial = trimmed(root, "/sys/block/" + name + "/device/device/serial");
        }
        if (serial && !is_placeholder(*serial)) {
            out.rows.emplace_back("Disk " + name + " serial", *serial);
        }
    }
    out.notes.emplace_back(public_ip_note);
    return out;
}

LiveSession open_live_session(const SysRoot& root, const AddressProbe& probe, bool sanitize) {
    LiveStatic fixed = read_live_static(root, probe);
    if (sanitize) {
        for (auto& [label, value] : fixed.rows) {
            value = hidden_text;
            if (label.ends_with(" MAC")) {
                label = hide_embedded_mac(label.substr(0, label.size() - 4)) + " MAC";
            }
        }
    }
    return {std::move(fixed.rows), std::move(fixed.notes), std::nullopt, sanitize};
}

std::vector<LiveRow> sample_live_rows(LiveSession& session, const SysRoot& root, Instant now) {
    SampleResult result = sample(root, session.counters, now);
    session.counters = std::move(result.counters);
    if (session.sanitize) {
        for (LiveTraffic& t : result.sample.traffic)
            t.name = hide_embedded_mac(t.name);
        for (LiveWireless& w : result.sample.wireless)
            w.name = hide_embedded_mac(w.name);
    }
    return format_live_rows(result.sample, session.static_rows, session.notes);
}

}  // namespace nadrel
