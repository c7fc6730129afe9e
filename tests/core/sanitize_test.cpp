// The sanitizer: names built from a MAC, identifiers inside other values, and the count of
// what was hidden.
#include "core/sanitize.h"

#include <gtest/gtest.h>

namespace nadrel {
namespace {

TEST(Sanitize, NamesBuiltFromAMac) {
    const struct {
        std::string_view name, mac, hidden;
    } cases[] = {
        {"enx00e04c680001", "00:e0:4c:68:00:01", "enx<hidden>"},
        {"enx00e04c680001", "", "enx<hidden>"},                   // the live card's labels
        {"wlx00e04c680001", "02:00:00:00:00:01", "wlx<hidden>"},  // address changed
        {"usb-00E0.4C68.0001", "00:e0:4c:68:00:01", "usb-<hidden>"},
        {"enp5s0", "00:e0:4c:68:00:01", "enp5s0"},
        {"Enx00e04c68000", "", "Enx00e04c68000"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(hide_embedded_mac(c.name, c.mac), c.hidden) << c.name;
}

TEST(Sanitize, IdentifiersInsideOtherValuesAndTheCount) {
    SystemSnapshot s;
    s.hostname = "forge";
    s.os_name = "Debian GNU/Linux 12 (bookworm)";
    s.ids.system_uuid = "4c4c4544-0050-3510-8052-00e04c680001";
    s.ids.machine_id = "0123456789abcdef";
    s.sound_cards = {"forge-speakers", "HDA Intel PCH"};
    s.bluetooth = {"Keyboard AA:BB:CC:DD:EE:FF"};
    s.usb_devices.push_back({"Dock fe80::2e0:4cff:fe68:1", 480, 1, 2, 1, 1, "1-1", "2.00", {}});
    MemoryModule& module = s.memory_modules.emplace_back();
    module.locator = "DIMM forge";
    module.serial = "SN1";
    module.asset_tag = "T1";
    DiskInfo& disk = s.disks.emplace_back();
    disk.model = "Disk 00-E0-4C-68-00-01";
    disk.serial = "SN2";
    NetAdapter& usb = s.net_adapters.emplace_back();
    usb.name = usb.interface = "enx00e04c680001";
    usb.mac = "00:e0:4c:68:00:01";
    usb.addresses = {{false, "192.168.1.20", 24}, {true, "fe80::2e0:4cff:fe68:1", 64}};
    NetAdapter& unknown = s.net_adapters.emplace_back();
    unknown.name = "eth1";

    const SanitizedSnapshot out = sanitize_snapshot(s);
    const SystemSnapshot& h = out.snapshot;
    EXPECT_EQ(h.hostname, "<hidden>");
    EXPECT_EQ(h.os_name, s.os_name);
    EXPECT_EQ(h.ids.system_uuid, "<hidden>");
    EXPECT_EQ(h.sound_cards, (std::vector<std::string>{"<hidden>-speakers", "HDA Intel PCH"}));
    EXPECT_EQ(h.bluetooth[0], "Keyboard <hidden>");
    EXPECT_EQ(h.usb_devices[0].name, "Dock <hidden>");
    EXPECT_EQ(h.memory_modules[0].locator, "DIMM <hidden>");
    EXPECT_EQ(h.disks[0].model, "Disk <hidden>");
    EXPECT_EQ(h.net_adapters[0].name, "enx<hidden>");
    EXPECT_EQ(h.net_adapters[0].interface, "enx<hidden>");
    EXPECT_EQ(h.net_adapters[0].mac, "<hidden>");
    // Every address, and its prefix, which the text would show beside it; the link-local one,
    // which the text leaves out, is gone rather than shown as one more "<hidden>".
    ASSERT_EQ(h.net_adapters[0].addresses.size(), 1u);
    EXPECT_EQ(h.net_adapters[0].addresses[0].address, "<hidden>");
    EXPECT_EQ(h.net_adapters[0].addresses[0].prefix_length, 0);
    EXPECT_EQ(h.net_adapters[1].name, "eth1");
    EXPECT_EQ(hidden_summary(out.hidden),
              "hid 16 values: host name, 2 serials, UUID, machine ID, asset tag, 3 MACs, "
              "2 interface names, 3 IP addresses, 2 names holding the host name");

    // Nothing known, nothing hidden: the collector's "Unknown" host is no name.
    const SanitizedSnapshot empty = sanitize_snapshot(SystemSnapshot{});
    EXPECT_EQ(empty.snapshot.hostname, "Unknown");
    EXPECT_EQ(hidden_summary(empty.hidden), "hid no values");
    HiddenCounts one;
    one[HiddenKind::Serial] = 1;
    EXPECT_EQ(hidden_summary(one), "hid 1 value: serial");
}

// Labels and UUIDs whole; the user's folder in mount points and swap files, the folder an
// automount named after a label, and the user's name where a source repeats it.
TEST(Sanitize, StorageLabelsUuidsAndUserFolders) {
    SystemSnapshot s;
    DiskInfo& disk = s.disks.emplace_back();
    disk.name = "sdb";
    PartitionInfo& part = disk.partitions.emplace_back();
    part.name = "sdb1";
    part.part_uuid = "5e6f7a8b-01";
    part.content = {"vfat", "MY STICK", "3A4B-5C6D", {"/media/pat/MY STICK"}, {}};
    MappedDevice& map = s.device_mapper.emplace_back();
    map.uuid = "CRYPT-LUKS2-0123-home";
    map.name = "luks-3A4B-5C6D";  // named after the volume's UUID
    map.content.label = "home";
    LoopDevice& loop = s.loop_devices.emplace_back();
    loop.backing_file = "/home/pat/disk.img";
    s.volumes = {
        {"/dev/mapper/luks-3A4B-5C6D", "/media/pat/MY STICK", "vfat", "sdb1", false, std::nullopt},
        {"pat@build:/home/pat", "/home/pat/build", "fuse.sshfs", "", false, std::nullopt},
        {"/dev/sda2", "/home", "ext4", "sda2", false, std::nullopt},
        {"/dev/sda3", "/media", "ext4", "sda3", false, std::nullopt}};
    s.swap = {{"/home/pat/swapfile", "file", 1, 0}, {"/dev/sda4", "partition", 1, 0}};

    const SanitizedSnapshot out = sanitize_snapshot(s);
    const SystemSnapshot& h = out.snapshot;
    const BlockContent& c = h.disks[0].partitions[0].content;
    EXPECT_EQ(c.label, "<hidden>");
    EXPECT_EQ(c.uuid, "<hidden>");
    EXPECT_EQ(c.mount_points[0], "/media/<hidden>/<hidden>");
    EXPECT_EQ(h.disks[0].partitions[0].part_uuid, "<hidden>");
    EXPECT_EQ(h.device_mapper[0].uuid, "<hidden>");
    EXPECT_EQ(h.device_mapper[0].name, "luks-<hidden>");
    EXPECT_EQ(h.volumes[0].source, "/dev/mapper/luks-<hidden>");
    EXPECT_EQ(h.loop_devices[0].backing_file, "<hidden>");
    EXPECT_EQ(h.volumes[0].mount_point, "/media/<hidden>/<hidden>");
    EXPECT_EQ(h.volumes[1].mount_point, "/home/<hidden>/build");
    EXPECT_EQ(h.volumes[1].source, "<hidden>@build:/home/<hidden>");
    EXPECT_EQ(h.volumes[2].mount_point, "/home");  // no user below it
    EXPECT_EQ(h.volumes[3].mount_point, "/media");
    EXPECT_EQ(h.swap[0].device, "/home/<hidden>/swapfile");
    EXPECT_EQ(h.swap[1].device, "/dev/sda4");
    EXPECT_EQ(hidden_summary(out.hidden),
              "hid 12 values: 5 UUIDs, 2 labels, 4 user names, backing file");
}

}  // namespace
}  // namespace nadrel
