#!/usr/bin/env python3
"""The metrics of a fixture machine as node_exporter's textfile collector reads them: written
the way the README installs them (a temporary file renamed into the folder), checked by
promtool, served by Debian's prometheus-node-exporter on a free local port (started and
stopped here, by pid) and read back over HTTP from /metrics.
usage: node_exporter.py NADREL FIXTURE"""
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time
import urllib.request

SKIP = 77
binary, fixture = sys.argv[1:3]
exporter = shutil.which("prometheus-node-exporter") or shutil.which("node_exporter")
if exporter is None:
    print("SKIP: prometheus-node-exporter is not installed (tools/install-deps --test installs it)")
    sys.exit(SKIP)
failures = []


def check(cond, what):
    if not cond:
        failures.append(what)


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


env = {"PATH": "/usr/bin:/bin", "TZ": "UTC", "NADREL_SYSROOT": fixture}
r = subprocess.run([binary, "--prometheus"], env=env, capture_output=True, timeout=60)
check(r.returncode == 0 and r.stderr == b"", f"nadrel --prometheus: {r.returncode} {r.stderr!r}")
sanitized = subprocess.run([binary, "--prometheus", "--sanitize"], env=env, capture_output=True,
                           timeout=60)
check(b"serial=" not in sanitized.stdout, "serial labels with --sanitize")

with tempfile.TemporaryDirectory() as folder:
    # As the README's timer does: never a half-written file in the collector's folder.
    partial = os.path.join(folder, "nadrel.prom.tmp")
    with open(partial, "wb") as f:
        f.write(r.stdout)
    os.rename(partial, os.path.join(folder, "nadrel.prom"))
    promtool = shutil.which("promtool")
    if promtool:
        lint = subprocess.run([promtool, "check", "metrics"], input=r.stdout, capture_output=True,
                              timeout=60)
        check(lint.returncode == 0, f"promtool: {lint.stdout!r} {lint.stderr!r}")

    port = free_port()
    server = subprocess.Popen(
        [exporter, "--collector.disable-defaults", "--collector.textfile",
         f"--collector.textfile.directory={folder}", f"--web.listen-address=127.0.0.1:{port}"],
        stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    body = ""
    try:
        deadline = time.monotonic() + 20
        while time.monotonic() < deadline and server.poll() is None:
            try:
                with urllib.request.urlopen(f"http://127.0.0.1:{port}/metrics", timeout=5) as page:
                    body = page.read().decode("utf-8")
                break
            except OSError:
                time.sleep(0.1)
    finally:
        server.terminate()
        try:
            server.wait(timeout=10)
        except subprocess.TimeoutExpired:
            server.kill()
            server.wait()
    check(body != "", f"no /metrics from node_exporter: {server.stderr.read()!r}")

samples = {}
for line in body.splitlines():
    if line and not line.startswith("#"):
        name, _, value = line.rpartition(" ")
        samples[name] = value
check(samples.get("node_textfile_scrape_error") == "0",
      f"node_textfile_scrape_error {samples.get('node_textfile_scrape_error')}")
version = subprocess.run([binary, "--version"], capture_output=True).stdout.decode().split()[-1]
want = {
    f'nadrel_info{{version="{version}"}}': "1",
    "nadrel_memory_installed_bytes": "3.4359738368e+10",
    'nadrel_disk_size_bytes{name="nvme0n1"}': "1.000204886016e+12",
    "nadrel_cpu_threads": "16",
    # sda's drivetemp reads 61000 against a temp1_crit of 60000; a vulnerable CPU entry and the
    # P and O taint letters are the other findings.
    "nadrel_attention_items": "3",
    'nadrel_sensor_celsius{chip="coretemp",device="coretemp.0",label="Package id 0"}': "45",
    'nadrel_sensor_critical_celsius{chip="drivetemp",device="2:0:0:0",label="temp1"}': "60",
    'nadrel_disk_temperature_celsius{disk="sda"}': "61",
}
for name, value in want.items():
    check(samples.get(name) == value, f"{name}: {samples.get(name)!r}, want {value}")
modules = [n for n in samples if n.startswith("nadrel_memory_module_info{")]
check(len(modules) == 4 and all('locator="Channel' in n for n in modules), f"modules: {modules}")

for failure in failures:
    print("FAIL:", failure)
print(f"node_exporter served {sum(n.startswith('nadrel_') for n in samples)} nadrel samples, "
      f"{len(failures)} failures")
sys.exit(1 if failures else 0)
