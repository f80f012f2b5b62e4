#!/usr/bin/env bash
# Installs every Debian package the build and the tests need, when one is missing.
# As root it runs apt-get; otherwise it prints the command to run and fails.
set -euo pipefail

packages=(
    # build tools
    cmake ninja-build g++ make pkg-config
    # the formatting check (make format-check, run by CI)
    clang-format
    # tests and benchmarks
    googletest libgtest-dev libgmock-dev libbenchmark-dev
    # window, input, presentation, the desktop's idle time (platform/)
    libsdl2-dev libx11-dev libxss-dev
    # a virtual display to run the program headless; the crash windows' tests on it, without and
    # with a window manager (xprop tells when it has taken the screen, XTEST types the keys); the
    # real program driven on it (xdotool's keys and clicks, ImageMagick's import takes the window
    # and its display covers it, xset sets the screen saver's time-out)
    xvfb x11-utils openbox libxtst6 xdotool imagemagick x11-xserver-utils
    # system fonts: FreeType, fontconfig and the faces that stand in for the usual Windows ones
    libfreetype-dev libfontconfig-dev fonts-dejavu-core fonts-liberation
    # image files
    libpng-dev zlib1g-dev libjpeg62-turbo-dev libopenjp2-7-dev
    # sound and music: audio output through SDL2, Ogg Vorbis through the integer decoder, MP3,
    # tracker modules; the encoders of the test fixtures and of the music (libvorbisenc, LAME)
    libvorbisidec-dev libvorbis-dev libogg-dev libmpg123-dev libopenmpt-dev libmp3lame-dev
    # crash reports: the stack unwinder, symbols and source lines, program files
    libunwind-dev libdw-dev libelf-dev
    # the benchmarks' comparisons: blits beside pixman (and SDL2), the XML reader beside expat,
    # glyphs beside FreeType (both above)
    libpixman-1-dev libexpat1-dev
    # the fuzz preset: clang and its runtimes, libFuzzer's among them
    clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
else
    echo "Please run as root:" >&2
    echo "  apt-get install -y ${missing[*]}" >&2
    exit 1
fi
