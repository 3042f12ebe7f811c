#!/usr/bin/env bash
# Where the bytes of the release Lumaroth.exe go: its sections, then the
# linker map (written by every link of the exe) summed by library, by object
# and by input section (one function or datum each; C++ names demangled).
# Figures only.
#
#   tools/bench/size_table.sh [ROWS]        (default 25 rows a table)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
rows=${1:-25}
build=${LUMAROTH_BUILD_DIR:-$root/build/release}
cmake --preset release -B "$build" >/dev/null
cmake --build "$build" --target Lumaroth >/dev/null
exe=$build/app/Lumaroth.exe
echo "Lumaroth.exe: $(stat -c %s "$exe") bytes"
x86_64-w64-mingw32-objdump -h "$exe" | while read -r index name size _; do
    if [[ $index =~ ^[0-9]+$ ]]; then printf '  %-8s %7d\n' "$name" "$((16#$size))"; fi
done
python3 - "$build/app/Lumaroth.map" "$rows" <<'PY'
import collections, os, re, subprocess, sys

lines = open(sys.argv[1], errors="replace").read().split("\n")
rows = int(sys.argv[2])
start = next(i for i, line in enumerate(lines) if line.startswith("Linker script and memory map"))
by_library, by_object, by_section = collections.Counter(), collections.Counter(), collections.Counter()
output, pending = None, None
for line in lines[start:]:
    m = re.match(r"^(\.\S+|/DISCARD/)", line)
    if m:
        output, pending = m.group(1), None
        continue
    if not output or output.startswith((".debug", "/DISCARD")):
        continue
    # An input section is " name addr size file", or its name alone on one
    # line and " addr size file" on the next when the name is long.
    m = re.match(r"^ (\S+)\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(\S.*)$", line)
    if m:
        name, address, size, source = m.groups()
    else:
        alone = re.match(r"^ (\S+)$", line)
        if alone:
            pending = alone.group(1)
            continue
        m = re.match(r"^\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(\S.*)$", line)
        if not (m and pending):
            pending = None
            continue
        name, (address, size, source), pending = pending, m.groups(), None
    size = int(size, 16)
    if size == 0 or int(address, 16) == 0:
        continue
    member = re.search(r"\((.*)\)$", source)
    library = os.path.basename(re.sub(r"\(.*\)$", "", source))
    obj = library + (f"({member.group(1)})" if member else "")
    symbol = re.sub(r"^\.[a-z]+[$.]", "", name) if re.match(r"^\.[a-z]+[$.].", name) else ""
    by_library[library] += size
    by_object[obj] += size
    by_section[(output, symbol, obj)] += size

def table(title, counter, label):
    print(f"\n{title}")
    for key, size in counter.most_common(rows):
        print(f"  {size:8d}  {label(key)}")

table("bytes by library or object file (all sections)", by_library, lambda k: k)
table("bytes by object", by_object, lambda k: k)
top = by_section.most_common(rows)
names = subprocess.run(["c++filt"], input="\n".join(k[1] for k, _ in top), capture_output=True,
                       text=True).stdout.split("\n")
print("\nbytes by input section (a function or datum where the object has one section each)")
for ((output, symbol, obj), size), name in zip(top, names):
    print(f"  {size:8d}  {output:7s} {(name or '(whole section)')[:70]}  [{obj}]")
PY
