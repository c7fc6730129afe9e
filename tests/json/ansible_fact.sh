#!/bin/sh
# nadrel --json as an Ansible local fact: the setup module runs an executable fact script from
# fact_path and returns its JSON as ansible_local.nadrel. The fact script reports on a fixture.
# Then the README's playbook, taken from the README itself, must print a value from the fact.
# usage: ansible_fact.sh NADREL FIXTURE README
set -eu
nadrel=${1:?usage: ansible_fact.sh NADREL FIXTURE README}
fixture=${2:?usage: ansible_fact.sh NADREL FIXTURE README}
readme=${3:?usage: ansible_fact.sh NADREL FIXTURE README}
if ! command -v ansible >/dev/null 2>&1; then
    echo "SKIP: ansible is not installed (tools/install-deps installs ansible-core)"
    exit 77
fi
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
mkdir "$dir/facts.d"
cat >"$dir/facts.d/nadrel.fact" <<FACT
#!/bin/sh
NADREL_SYSROOT='$fixture' exec '$nadrel' --json
FACT
chmod +x "$dir/facts.d/nadrel.fact"

# A private home and no configuration file, so nothing of the caller's Ansible set-up counts.
cd "$dir"
: >"$dir/ansible.cfg"
export HOME="$dir" ANSIBLE_CONFIG="$dir/ansible.cfg" ANSIBLE_LOCALHOST_WARNING=false \
    ANSIBLE_INVENTORY_UNPARSED_WARNING=false ANSIBLE_NOCOLOR=1
ansible localhost -m ansible.builtin.setup \
    -a "fact_path=$dir/facts.d filter=ansible_local" >"$dir/out" 2>"$dir/err" || {
    cat "$dir/out" "$dir/err"
    exit 1
}
# "localhost | SUCCESS => {...}": the JSON starts at the first brace.
python3 - "$dir/out" "$fixture" <<'PY'
import json, sys
text = open(sys.argv[1]).read()
facts = json.loads(text[text.index("{"):])["ansible_facts"]["ansible_local"]["nadrel"]
root = sys.argv[2]
host = open(root + "/proc/sys/kernel/hostname").read().strip()
checks = [
    (facts["schema_version"], 1),
    (facts["system"]["hostname"], host),
    (facts["cpu"]["vendor"], "GenuineIntel"),
    (facts["cpu"]["threads"], 16),
    (facts["cpu"]["caches"][0]["size_bytes"], 49152),
    (facts["system"]["secure_boot"], True),
    ([d["name"] for d in facts["disks"]][:1], ["nvme0n1"]),
    (facts["battery"], None),
]
bad = [(got, want) for got, want in checks if got != want]
for got, want in bad:
    print(f"FAIL: got {got!r}, want {want!r}")
sys.exit(1 if bad else 0)
PY

# The playbook is the indented block of the README that starts with "- hosts: all".
awk '/^    - hosts: all$/ { on = 1 } on && !/^    / { exit } on { print substr($0, 5) }' \
    "$readme" >"$dir/nadrel-memory.yml"
[ -s "$dir/nadrel-memory.yml" ] || { echo "FAIL: no playbook in $readme"; exit 1; }
# Gathering looks for local facts in /etc/ansible/facts.d unless told otherwise; the playbook
# itself stays as the README shows it. (ANSIBLE_FACT_PATH is deprecated for Ansible 2.18.)
want=$(NADREL_SYSROOT="$fixture" "$nadrel" --json | python3 -c \
    'import json, sys; print(json.load(sys.stdin)["memory"]["installed_bytes"])')
ANSIBLE_FACT_PATH="$dir/facts.d" ANSIBLE_DEPRECATION_WARNINGS=false \
    ANSIBLE_PYTHON_INTERPRETER=auto_silent \
    ansible-playbook -i localhost, -c local nadrel-memory.yml >"$dir/out" 2>"$dir/err" || {
    cat "$dir/out" "$dir/err"
    exit 1
}
# debug shows the templated value, quoted or not depending on the Ansible version.
grep -qE "\"ansible_local.nadrel.memory.installed_bytes\": \"?$want\"?\$" "$dir/out" || {
    echo "FAIL: the README's playbook did not print $want"
    cat "$dir/out" "$dir/err"
    exit 1
}
echo "ansible_local.nadrel holds the fixture's report; the README's playbook prints it"
