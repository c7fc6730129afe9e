#!/bin/sh
# Fails when a file includes a folder above or beside its own layer. The folders, bottom up:
#   core/            the standard library only: no system headers, calls or environment
#   linux/root/      core
#   linux/collect/   core, root
#   linux/live/, linux/export/   core, root, collect
#   linux/gui/draw/  core (font files come through a reader the caller gives)
#   linux/gui/view/  core, draw (the machine only through its host interface)
#   linux/gui/x11/, linux/gui/wayland/   core, draw, view, the file-descriptor owner (never
#                    each other)
#   linux/gui/ (the module's entry point, the view's host on the machine and the plain-array
#                    documents) and app/: anything
# and the environment is read only in the program's main.
src="${1:?usage: check_layers.sh SOURCE_DIR}/src"
status=0

# forbid FOLDER PATTERN [ALLOWED]: no file below src/FOLDER includes a header matching PATTERN,
# unless it also matches ALLOWED.
forbid() {
    for f in $(find "$src/$1" \( -name '*.h' -o -name '*.cpp' \) 2>/dev/null | sort); do
        if grep -nE "#include *[<\"]($2)" "$f" | grep -vE "#include *[<\"](${3:-^$})" |
            sed "s|^|layering: $f: |" | grep .; then
            status=1
        fi
    done
}

forbid core 'linux/|app/|sys/|unistd\.h|fcntl\.h|dirent\.h|poll\.h'
for f in $(find "$src/core" \( -name '*.h' -o -name '*.cpp' \) | sort); do
    if grep -nE '\b(getenv|secure_getenv|syscall|openat2?|::open|fopen)\s*\(' "$f" |
        sed "s|^|layering: $f: |" | grep .; then
        status=1
    fi
done
forbid linux/root 'linux/(collect|live|export|gui)/|app/'
forbid linux/collect 'linux/(live|export|gui)/|app/'
forbid linux/live 'linux/(export|gui)/|app/'
forbid linux/export 'linux/(live|gui)/|app/'
# The one owner of file descriptors is shared by everything that holds one.
fd_owner='linux/root/unique_fd\.h'
forbid linux/gui/draw 'linux/(root|collect|live|export|gui/view|gui/x11|gui/wayland)/|app/'
forbid linux/gui/view 'linux/(root|collect|live|export|gui/x11|gui/wayland)/|app/|xcb/|wayland-'
forbid linux/gui/x11 'linux/(root|collect|live|export|gui/wayland)/|app/|wayland-' "$fd_owner"
forbid linux/gui/wayland 'linux/(root|collect|live|export|gui/x11)/|app/|xcb/' "$fd_owner"

# The environment is read once, in main, and passed down as values.
if grep -rnE '\b(secure_)?getenv\s*\(' "$src" | grep -v "^$src/app/main.cpp:" |
    sed 's|^|layering: environment read outside main: |' | grep .; then
    status=1
fi
[ "$status" = 0 ] && echo "layering: every include points down"
exit "$status"
