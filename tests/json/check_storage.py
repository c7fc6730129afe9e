#!/usr/bin/env python3
"""Compares what nadrel --json says about each fixture machine's storage with what lsblk and
findmnt print for the same layout. tests/json/layouts/MACHINE.lsblk and .findmnt hold their
output written down by hand (lsblk -P -o NAME,KNAME,TYPE,SIZE,PKNAME,FSTYPE,LABEL,MOUNTPOINTS
as it prints when it can read the udev database; findmnt --real -P -o TARGET,SOURCE,FSTYPE).
Where the tools are installed, the columns they can read from a tree (lsblk --sysroot, findmnt
--tab-file) are checked against those files too, so that they stay true to the fixtures.
usage: check_storage.py NADREL FIXTURES_DIR LAYOUTS_DIR"""
import json
import os
import re
import shutil
import subprocess
import sys

binary, fixtures, layouts = sys.argv[1:4]
failures = []
# File systems nadrel leaves out that findmnt --real lists: desktop FUSE plumbing.
PLUMBING = {"fuse.portal", "fuse.gvfsd-fuse", "fuse.lxcfs"}
MAP_TYPES = {"crypt": "crypt", "lvm": "lvm", "multipath": "mpath", "other": "dm"}


def pairs(line):
    return {k: v.replace("\\x0a", "\n") for k, v in re.findall(r'(\w+)="((?:[^"\\]|\\.)*)"', line)}


def read_rows(path):
    with open(path, encoding="utf-8") as f:
        return [pairs(line) for line in f if line.strip()]


def human(size):
    """lsblk's sizes: binary units, one decimal rounded, a trailing .0 dropped."""
    exp = next((e for e in (60, 50, 40, 30, 20, 10) if size >= 1 << e), 0)
    whole, frac = (size >> exp, size % (1 << exp)) if exp else (size, 0)
    if frac:
        frac = ((frac * 1000) // (1 << exp) + 50) // 100
        if frac == 10:
            whole, frac = whole + 1, 0
    unit = "BKMGTPE"[exp // 10]
    return f"{whole}.{frac}{unit}" if frac else f"{whole}{unit}"


def run(*args, env=None):
    return subprocess.run(args, env=env, capture_output=True, text=True, timeout=60).stdout


def emmc_area(name):
    return re.fullmatch(r"mmcblk\d+(boot\d+|rpmb)", name) is not None


def lsblk_rows(doc):
    """The rows lsblk would print, derived from the document."""
    maps = {m["device"]: m for m in doc["device_mapper"]}
    arrays = {a["name"]: a for a in doc["arrays"]}
    swaps = {s["device"] for s in doc["swap"]}
    rows = []

    def row(name, kname, kind, size, parent, item):
        points = set(item.get("mount_points", []))
        if f"/dev/{kname}" in swaps:
            points.add("[SWAP]")
        rows.append((name, kname, kind, human(size or 0), parent, item.get("filesystem") or "",
                     item.get("label") or "", frozenset(points)))
        for holder in item.get("holders", []):
            if holder in maps:
                m = maps[holder]
                row(m["name"], holder, MAP_TYPES[m["kind"]], m["size_bytes"], kname, m)
            elif holder in arrays:
                a = arrays[holder]
                row(holder, holder, a["level"], a["size_bytes"], kname, a)

    for disk in doc["disks"]:
        row(disk["name"], disk["name"], "disk", disk["size_bytes"], "", disk)
        for part in disk["partitions"]:
            if emmc_area(part["name"]):
                row(part["name"], part["name"], "disk", part["size_bytes"], "", part)
            else:
                row(part["name"], part["name"], "part", part["size_bytes"], disk["name"], part)
    for loop in doc["loop_devices"]:
        row(loop["name"], loop["name"], "loop", loop["size_bytes"], "", loop)
    return sorted(rows, key=repr)


def bind_targets(mounts):
    """Bind mounts of a folder of a disk's file system: nadrel lists the file system once."""
    return {m["TARGET"] for m in mounts if "[" in m["SOURCE"] and m["FSTYPE"] != "btrfs"}


machines = sorted(f[:-6] for f in os.listdir(layouts) if f.endswith(".lsblk"))
for machine in machines:
    root = os.path.join(fixtures, machine)
    env = {"PATH": "/usr/bin:/bin", "TZ": "UTC", "NADREL_SYSROOT": root}
    doc = json.loads(run(binary, "--json", env=env))
    want_blocks = read_rows(os.path.join(layouts, f"{machine}.lsblk"))
    want_mounts = read_rows(os.path.join(layouts, f"{machine}.findmnt"))
    binds = bind_targets(want_mounts)

    expected = sorted(((r["NAME"], r["KNAME"], r["TYPE"], r["SIZE"], r["PKNAME"], r["FSTYPE"],
                        r["LABEL"],
                        frozenset(p for p in r["MOUNTPOINTS"].split("\n") if p and p not in binds))
                       for r in want_blocks), key=repr)
    got = lsblk_rows(doc)
    for row in set(expected) ^ set(got):
        failures.append(f"{machine}: block device {'missing' if row in expected else 'extra'}: {row}")

    want = [(m["TARGET"], re.sub(r"\[.*\]$", "", m["SOURCE"]), m["FSTYPE"]) for m in want_mounts
            if m["FSTYPE"] not in PLUMBING and m["TARGET"] not in binds]
    have = [(v["mount_point"], v["source"], v["filesystem"]) for v in doc["volumes"]]
    if want != have:
        failures.append(f"{machine}: volumes {have}, findmnt {want}")
    # Nothing is measured in a captured tree.
    if any(v["size_bytes"] is not None for v in doc["volumes"]):
        failures.append(f"{machine}: a volume of a captured tree was measured")

    # The written-down output against the tools themselves, for what they read from a tree.
    if shutil.which("lsblk"):
        real = run("lsblk", "--sysroot", root, "-P", "-o", "NAME,KNAME,TYPE,SIZE,PKNAME")
        columns = ("NAME", "KNAME", "TYPE", "SIZE", "PKNAME")
        if [tuple(pairs(l)[c] for c in columns) for l in real.splitlines()] != \
                [tuple(r[c] for c in columns) for r in want_blocks]:
            failures.append(f"{machine}.lsblk no longer agrees with lsblk --sysroot:\n{real}")
        # Partition offsets, in 512-byte sectors.
        starts = {l["KNAME"]: l["START"] for l in map(pairs, run(
            "lsblk", "--sysroot", root, "-P", "-o", "KNAME,START").splitlines())}
        for part in (p for d in doc["disks"] for p in d["partitions"]):
            start = part["start_bytes"] // 512 if part["start_bytes"] is not None else ""
            if str(start) != starts.get(part["name"]):
                failures.append(f"{machine}: {part['name']} starts at {start}, lsblk says "
                                f"{starts.get(part['name'])}")
    if shutil.which("findmnt"):
        real = run("findmnt", "-F", os.path.join(root, "proc/self/mountinfo"), "--real", "-P",
                   "-o", "TARGET,SOURCE,FSTYPE")
        if [pairs(l) for l in real.splitlines()] != want_mounts:
            failures.append(f"{machine}.findmnt no longer agrees with findmnt:\n{real}")

for failure in failures:
    print("FAIL:", failure)
print(f"{len(machines)} layouts checked, {len(failures)} failures")
sys.exit(1 if failures else 0)
