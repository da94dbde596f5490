# Sourced by the screenshot scripts: runs a test program's screenshot tests under a virtual X server.
#   shot PROGRAM SCREEN VARIABLE FILE FILTER
# PROGRAM is a test program in $build, SCREEN the virtual screen's size ("1280x800"), VARIABLE=FILE
# tells the tests where to write their pictures, FILTER is the gtest filter of the tests to run.
here=$(cd "$(dirname "$0")/.." && pwd)

# The path made absolute against the current folder.
absolute() {
    case $1 in /*) echo "$1" ;; *) echo "$PWD/$1" ;; esac
}

shot() {
    program=$build/$1
    if [ ! -x "$program" ]; then
        echo "build $1 first: cmake --build $build --target $1" >&2
        exit 1
    fi
    env "$3=$4" QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 ${2}x24" "$program" --gtest_filter="$5"
}
