#!/usr/bin/env python3
"""Runs nadrel --json on every fixture machine, validates each document against the published
schema and compares typed values with the fixture's own files.
usage: check_json.py NADREL SCHEMA FIXTURES_DIR"""
import json
import os
import subprocess
import sys

SKIP = 77
try:
    import jsonschema
except ImportError:
    print("SKIP: python3-jsonschema is not installed (tools/install-deps installs it)")
    sys.exit(SKIP)

binary, schema_path, fixtures = sys.argv[1:4]
failures = []


def check(cond, what):
    if not cond:
        failures.append(what)


def read(root, path):
    try:
        with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
            return f.read().strip()
    except OSError:
        return None


def run(root, *args):
    env = {"PATH": "/usr/bin:/bin", "TZ": "UTC", "NADREL_SYSROOT": root}
    return subprocess.run([binary, *args], env=env, capture_output=True, timeout=60)


with open(schema_path, encoding="utf-8") as f:
    schema = json.load(f)
jsonschema.Draft202012Validator.check_schema(schema)
validator = jsonschema.Draft202012Validator(schema)

machines = sorted(m for m in os.listdir(fixtures) if os.path.isdir(os.path.join(fixtures, m)))
check(len(machines) >= 6, f"fixture machines missing: {machines}")
for machine in machines:
    root = os.path.join(fixtures, machine)
    r = run(root, "--json")
    check(r.returncode == 0 and r.stderr == b"", f"{machine}: status {r.returncode}, {r.stderr!r}")
    check(r.stdout.endswith(b"}\n"), f"{machine}: the document does not end in a line feed")
    doc = json.loads(r.stdout.decode("utf-8"))
    for error in validator.iter_errors(doc):
        failures.append(f"{machine}: {list(error.absolute_path)}: {error.message}")

    # --json wins over the text options and never opens a window.
    other = run(root, "--print", "--detail", "--gui", "--json")
    check(other.returncode == 0, f"{machine}: --json with the text options failed")
    same = json.loads(other.stdout.decode("utf-8"))
    same["generated"] = doc["generated"]
    check(same == doc, f"{machine}: --json with --print --detail --gui differs")

    # Typed values against the fixture's files.
    host = read(root, "proc/sys/kernel/hostname") or read(root, "etc/hostname")
    check(doc["system"]["hostname"] == host, f"{machine}: hostname {doc['system']['hostname']}")
    check(doc["system"]["kernel"] == read(root, "proc/sys/kernel/osrelease"),
          f"{machine}: kernel {doc['system']['kernel']}")
    meminfo = read(root, "proc/meminfo") or ""
    total = [int(l.split()[1]) * 1024 for l in meminfo.splitlines() if l.startswith("MemTotal:")]
    check(doc["memory"]["available_bytes"] == (total[0] if total else None),
          f"{machine}: available_bytes {doc['memory']['available_bytes']}")
    for disk in doc["disks"]:
        sectors = int(read(root, f"sys/block/{disk['name']}/size") or 0)
        check(disk["size_bytes"] == (sectors * 512 or None), f"{machine}: {disk['name']} size")
        rotational = read(root, f"sys/block/{disk['name']}/queue/rotational")
        # A spinning flag alone proves no medium on USB, virtual and MMC disks: null there.
        if rotational == "0":
            check(disk["solid_state"] is True, f"{machine}: {disk['name']} medium")
        elif rotational == "1":
            check(disk["solid_state"] is not True, f"{machine}: {disk['name']} medium")
    # PCI Express links from max_link_*, SATA links from the ATA port's sata_spd.
    def pcie(device):
        width, speed = read(root, f"{device}/max_link_width"), read(root, f"{device}/max_link_speed")
        rate = speed.split()[0] if speed else None
        return ((float(rate) if rate in ("2.5", "5.0", "8.0", "16.0", "32.0", "64.0") else None),
                (int(width) if width and width.isdigit() and width != "0" else None))
    drm = os.path.join(root, "sys/class/drm")
    cards = {(read(drm, f"{c}/device/vendor"), read(drm, f"{c}/device/device")):
             f"sys/class/drm/{c}/device" for c in (os.listdir(drm) if os.path.isdir(drm) else [])
             if c.startswith("card") and "-" not in c}
    for gpu in doc["gpus"]:
        device = cards.get((f"0x{gpu['vendor_id']}", f"0x{gpu['device_id']}"))
        check(device and (gpu["link_gts"], gpu["link_width"]) == pcie(device),
              f"{machine}: {gpu['name']} link")
    for disk in doc["disks"]:
        want = pcie(f"sys/block/{disk['name']}/device/device") if disk["name"].startswith(
            "nvme") else (None, None)
        check((disk["link_gts"], disk["link_width"]) == want, f"{machine}: {disk['name']} link")
        port = os.path.realpath(os.path.join(root, f"sys/block/{disk['name']}")).split("/host")[0]
        speeds = [read(port, f"{l}/ata_link/{l}/sata_spd") for l in sorted(os.listdir(port))
                  if l.startswith("link")] if "/ata" in port and os.path.isdir(port) else []
        mbps = [round(float(w.split()[0]) * 1000) for w in speeds if w and w[0].isdigit()]
        check(disk["link_mbps"] == (mbps[0] if mbps else None), f"{machine}: {disk['name']} SATA")
    for adapter in doc["network"]:
        carrier = read(root, f"sys/class/net/{adapter['interface']}/carrier")
        check(adapter["connected"] is (carrier == "1"), f"{machine}: {adapter['interface']} link")
    # PCI functions against their sysfs files: ids, class, the driver link's folder name.
    bus = os.path.join(root, "sys/bus/pci/devices")
    names = sorted(os.listdir(bus)) if os.path.isdir(bus) else []
    check([f["address"] for f in doc["pci_devices"]] == names, f"{machine}: PCI functions")
    for f in doc["pci_devices"]:
        fn = f"sys/bus/pci/devices/{f['address']}"
        check(f"0x{f['vendor_id']}" == read(root, f"{fn}/vendor"), f"{machine}: {fn} vendor")
        check(f"0x{f['class_id']}" == (read(root, f"{fn}/class") or "")[:6], f"{machine}: {fn} class")
        link = os.path.join(root, fn, "driver")
        want = os.path.basename(os.readlink(link)) if os.path.islink(link) else None
        check(f["driver"] == want, f"{machine}: {fn} driver {f['driver']}")
    threads = sum(1 for l in (read(root, "proc/cpuinfo") or "").splitlines()
                  if l.startswith("processor"))
    if threads and doc["cpu"]["threads"] is not None:
        check(doc["cpu"]["threads"] == threads, f"{machine}: threads {doc['cpu']['threads']}")
    supplies = os.path.join(root, "sys/class/power_supply")
    # A wireless mouse's battery (scope Device) is not the machine's.
    batteries = [s for s in sorted(os.listdir(supplies)) if read(supplies, f"{s}/type") == "Battery"
                 and read(supplies, f"{s}/scope") != "Device"] if os.path.isdir(supplies) else []
    check((doc["battery"] is None) == (not batteries), f"{machine}: battery presence")
    if batteries and read(supplies, f"{batteries[0]}/energy_full_design"):
        design = int(read(supplies, f"{batteries[0]}/energy_full_design")) // 1000
        check(doc["battery"]["design_mwh"] == design, f"{machine}: design_mwh")

    # State against the files it comes from (each sensor channel and battery charge the detail
    # goldens show, and a saved document renders the same text).
    uptime = read(root, "proc/uptime")
    check(doc["system"]["uptime_seconds"] == (int(float(uptime.split()[0])) if uptime else None),
          f"{machine}: uptime_seconds")
    loadavg = read(root, "proc/loadavg")
    check(doc["system"]["load_average"] == ([float(v) for v in loadavg.split()[:3]]
                                            if loadavg else None), f"{machine}: load_average")
    tainted = read(root, "proc/sys/kernel/tainted")
    check((doc["system"]["kernel_taint"] or {}).get("value") == (int(tainted) if tainted else None),
          f"{machine}: kernel_taint")
    available = [int(l.split()[1]) * 1024 for l in meminfo.splitlines()
                 if l.startswith("MemAvailable:")]
    check(doc["memory"]["used_bytes"] == (total[0] - available[0] if total and available else None),
          f"{machine}: used_bytes")
    vuln_dir = os.path.join(root, "sys/devices/system/cpu/vulnerabilities")
    vulns = {v: read(vuln_dir, v) for v in sorted(os.listdir(vuln_dir))} if os.path.isdir(
        vuln_dir) else {}
    check([(v["name"], v["status"], v["vulnerable"]) for v in doc["cpu"]["vulnerabilities"]] ==
          [(k, t, t.startswith("Vulnerable")) for k, t in vulns.items()], f"{machine}: vulnerabilities")
    # Corrected errors: those joined to modules and those that name none add up to the files'.
    edac = os.path.join(root, "sys/devices/system/edac/mc")
    ce_files = sum(int(read(edac, f"{mc}/{d}/dimm_ce_count") or 0) for mc in (
        os.listdir(edac) if os.path.isdir(edac) else []) for d in os.listdir(
        os.path.join(edac, mc)) if d.startswith("dimm"))
    ce_doc = sum(m["corrected_errors"] or 0 for m in doc["memory"]["modules"]) + sum(
        e["corrected_errors"] or 0 for e in doc["memory"]["edac"])
    check(ce_doc == ce_files, f"{machine}: corrected errors {ce_doc} != {ce_files}")


# The contract: documents written by an earlier version of schema 1 still validate, and load
# back with every key they hold, under the same name, with the same value.
def held(frozen, now, path):
    if isinstance(frozen, dict):
        if not isinstance(now, dict):
            failures.append(f"{path}: not an object any more")
            return
        for key, value in frozen.items():
            if key not in now:
                failures.append(f"{path}.{key}: gone")
            else:
                held(value, now[key], f"{path}.{key}")
    elif isinstance(frozen, list):
        if not isinstance(now, list) or len(now) != len(frozen):
            failures.append(f"{path}: not the same list")
            return
        for i, (a, b) in enumerate(zip(frozen, now)):
            held(a, b, f"{path}[{i}]")
    elif frozen != now or type(frozen) != type(now):
        failures.append(f"{path}: {frozen!r} became {now!r}")


consumers = os.path.join(os.path.dirname(os.path.abspath(__file__)), "consumer-v1")
frozen_files = sorted(f for f in os.listdir(consumers) if f.endswith(".json"))
check(len(frozen_files) >= 2, f"frozen documents missing: {frozen_files}")
for name in frozen_files:
    path = os.path.join(consumers, name)
    with open(path, encoding="utf-8") as f:
        frozen = json.load(f)
    for error in validator.iter_errors(frozen):
        failures.append(f"consumer-v1/{name}: {list(error.absolute_path)}: {error.message}")
    r = run(consumers, "--load", path, "--json")
    check(r.returncode == 0 and r.stderr == b"", f"{name}: --load: {r.returncode}, {r.stderr!r}")
    held(frozen, json.loads(r.stdout.decode("utf-8")), name)
    text = run(consumers, "--load", path, "--print", "--detail")
    check(text.returncode == 0 and text.stdout.startswith(b"NADREL  -  System Report\n"),
          f"{name}: --load --print: {text.returncode}, {text.stderr!r}")

for failure in failures:
    print("FAIL:", failure)
print(f"{len(machines)} machines and {len(frozen_files)} frozen documents checked, "
      f"{len(failures)} failures")
sys.exit(1 if failures else 0)
