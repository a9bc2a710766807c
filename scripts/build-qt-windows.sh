#!/usr/bin/env bash
# Builds a static Qt 6 for x86_64-w64-mingw32 from the source of Debian's qt6-base package (the
# same Qt version the Linux build uses), so that Tambrel.exe carries its Qt inside and needs
# nothing beside it but our own DLLs. The source comes through private apt folders: the
# machine's own apt set-up is left as it is.
#
# Installs into ${TAMBREL_QT_WINDOWS:-~/.cache/tambrel/qt6-mingw}; does nothing when a build of
# the same Qt version and options is already there. Prints that folder as its last line.
# Takes about 29 minutes of processor time, some 15 minutes on two idle cores;
# `scripts/test.sh --windows` starts it when it is missing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
install_dir=${TAMBREL_QT_WINDOWS:-$HOME/.cache/tambrel/qt6-mingw}
work_dir=${TAMBREL_QT_WINDOWS_WORK:-$HOME/.cache/tambrel/qt6-mingw-work}
toolchain=${TAMBREL_MINGW_TOOLCHAIN:-$root/cmake/mingw-w64-x86_64.cmake}
jobs=${TAMBREL_JOBS:-2}

version=$(dpkg-query -W -f='${Version}' qt6-base-dev 2>/dev/null || true)
if [[ -z $version ]]; then
    echo "qt6-base-dev is not installed: run scripts/setup.sh first" >&2
    exit 1
fi

# Debian's source lacks src/3rdparty/wintab (removed for its licence), hence no tablet events.
# Without OpenGL, the Windows platform plugin of Qt 6.4 still compiles its dynamic-GL code
# unless dynamicgl is off too.
# The rest is switched off because Tambrel does not use it and it would only lengthen the build:
# whole modules; the Direct2D platform plugin (a second copy of the Windows plugin's sources)
# and with it DirectWrite 3 (QtGui builds that font database only along with Direct2D, but the
# Windows plugin would still refer to it: Tambrel.exe would not link);
# FreeType and its bundled source (Windows draws text with its own font engines); the JPEG,
# GIF and ICO readers (Tambrel draws its icons and loads no pictures); widgets and dialogs that
# no window of Tambrel shows; and the style sheet engine (no widget is given a style sheet).
# What stays: Core, Gui, Widgets, Test, the Windows plugin and styles, PNG (the styles' icons),
# HTML text (the help window), accessibility, and HarfBuzz for the Japanese captions.
features=(
    -DFEATURE_tabletevent=OFF -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF
    -DFEATURE_opengl=OFF -DFEATURE_dynamicgl=OFF -DFEATURE_icu=OFF -DFEATURE_printsupport=OFF
    -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF
    -DFEATURE_direct2d=OFF -DFEATURE_directwrite3=OFF -DFEATURE_freetype=OFF -DFEATURE_vulkan=OFF
    -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF -DFEATURE_ico=OFF -DFEATURE_movie=OFF -DFEATURE_pdf=OFF
    -DFEATURE_textmarkdownreader=OFF -DFEATURE_textmarkdownwriter=OFF -DFEATURE_textodfwriter=OFF
    -DFEATURE_sessionmanager=OFF -DFEATURE_systemtrayicon=OFF
    -DFEATURE_undocommand=OFF -DFEATURE_undostack=OFF -DFEATURE_undogroup=OFF -DFEATURE_undoview=OFF
    -DFEATURE_graphicsview=OFF -DFEATURE_graphicseffect=OFF -DFEATURE_style_stylesheet=OFF
    -DFEATURE_mdiarea=OFF -DFEATURE_calendarwidget=OFF -DFEATURE_datetimeedit=OFF
    -DFEATURE_fontcombobox=OFF -DFEATURE_fontdialog=OFF -DFEATURE_colordialog=OFF
    -DFEATURE_wizard=OFF -DFEATURE_dial=OFF -DFEATURE_lcdnumber=OFF -DFEATURE_keysequenceedit=OFF
    -DFEATURE_columnview=OFF
)
# One build at a time: the cache is shared by every worktree of the machine. A second caller
# waits here and then finds the first one's build below.
mkdir -p "$work_dir"
exec 9>"$work_dir/.lock"
flock 9

stamp_text="qt6-base $version static x86_64-w64-mingw32 ${features[*]}"
stamp=$install_dir/.tambrel-build-stamp
if [[ -f $stamp && $(cat "$stamp") == "$stamp_text" && -x $install_dir/bin/qt-cmake ]]; then
    echo "$install_dir"
    exit 0
fi

if [[ ! -f $toolchain ]]; then
    echo "no mingw-w64 toolchain file at $toolchain" >&2
    exit 1
fi

# A private copy of the machine's Debian entries with deb-src, and private lists and cache.
apt_dir=$work_dir/apt
mkdir -p "$apt_dir/sources.list.d" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
sources=$(ls /etc/apt/sources.list.d/*.sources 2>/dev/null | head -n 1 || true)
if [[ -n $sources ]] && grep -q 'debian' "$sources"; then
    sed -e 's/^Types:.*/Types: deb-src/' "$sources" >"$apt_dir/sources.list.d/debian-src.sources"
else
    grep -h '^deb ' /etc/apt/sources.list 2>/dev/null | grep debian | sed 's/^deb /deb-src /' \
        >"$apt_dir/sources.list.d/debian-src.list"
fi
apt_options=(
    -o Dir::Etc::SourceList=/dev/null
    -o Dir::Etc::SourceParts="$apt_dir/sources.list.d"
    -o Dir::State::Lists="$apt_dir/lists"
    -o Dir::Cache="$apt_dir/cache"
)

source_parent=$work_dir/source
source_dir=$(ls -d "$source_parent"/qt6-base-*/ 2>/dev/null | head -n 1 || true)
if [[ -z $source_dir || ! -f $source_dir/CMakeLists.txt ]]; then
    rm -rf "$source_parent"
    mkdir -p "$source_parent"
    apt-get "${apt_options[@]}" update -qq
    (cd "$source_parent" && apt-get "${apt_options[@]}" source -qq "qt6-base=$version")
    source_dir=$(ls -d "$source_parent"/qt6-base-*/ | head -n 1)
fi

# An earlier build folder is configured anew and built on: ninja redoes only what changed.
build_dir=$work_dir/build
rm -rf "$install_dir"
cmake -S "$source_dir" -B "$build_dir" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$install_dir" \
    -DBUILD_SHARED_LIBS=OFF \
    -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DINPUT_openssl=no -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF \
    -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_png=OFF \
    -DFEATURE_system_jpeg=OFF \
    "${features[@]}" >&2
cmake --build "$build_dir" -j "$jobs" >&2
cmake --install "$build_dir" >&2
echo "$stamp_text" >"$stamp"
echo "$install_dir"
