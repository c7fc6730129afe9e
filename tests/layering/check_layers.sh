#!/bin/sh
# Fails when a file includes a layer above its own: core sees only the standard library, linux
# never sees the window code, and the window core never sees a display backend.
src="${1:?usage: check_layers.sh SOURCE_DIR}/src"
status=0
fail() { echo "layering: $1"; status=1; }

for f in $(find "$src/core" -name '*.h' -o -name '*.cpp' | sort); do
    grep -nE '#include *[<"](sys/|unistd\.h|fcntl\.h|dirent\.h|linux/|poll\.h|linux/gui/)' "$f" |
        while IFS= read -r line; do echo "layering: $f: $line"; done | grep . && status=1
    grep -nE '\b(getenv|secure_getenv|syscall|openat2?|::open|fopen)\s*\(' "$f" |
        while IFS= read -r line; do echo "layering: $f: $line"; done | grep . && status=1
done
for f in $(find "$src/linux" -maxdepth 1 -name '*.h' -o -maxdepth 1 -name '*.cpp' | sort); do
    case "$(basename "$f")" in window*.cpp|window*.h) continue ;; esac
    grep -nE '#include *"linux/gui/' "$f" | sed "s|^|layering: $f: |" | grep . && status=1
done
for f in $(find "$src/linux/gui" -maxdepth 1 \( -name '*.h' -o -name '*.cpp' \) | sort); do
    case "$(basename "$f")" in x11*|wayland*|module*) continue ;; esac
    grep -nE '#include *[<"](linux/gui/(x11|wayland)|xcb/|wayland-)' "$f" |
        sed "s|^|layering: $f: |" | grep . && status=1
done
# The environment is read once, in main, and passed down as values.
grep -rnE '\b(secure_)?getenv\s*\(' "$src" | grep -v "^$src/linux/main.cpp:" |
    sed 's|^|layering: environment read outside main: |' | grep . && status=1
[ "$status" = 0 ] && echo "layering: every include points down"
exit "$status"
