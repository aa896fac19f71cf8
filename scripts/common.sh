# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by scripts/run, scripts/test and scripts/bench: installs missing Debian
# packages (as root, or through sudo) and knows the build settings.

daylog_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Packages every build needs: compiler, CMake, Qt 6, a Japanese font, libical for
# reading iCalendar files, and qtkeychain for keeping calendar server passwords in the
# desktop's secret store.
DAYLOG_BUILD_PACKAGES=(g++ cmake ninja-build pkg-config qt6-base-dev libgl-dev
    qt6-translations-l10n fonts-ipafont-gothic libical-dev qtkeychain-qt6-dev)
# What the tests need beyond that: poppler-utils reads printed PDFs back; the
# end-to-end runs drive the program in a virtual display with a window manager;
# desktop-file-utils checks the installed desktop entry; the accessibility check reads
# the windows through AT-SPI (python3-pyatspi, the bus of at-spi2-core, and dbus for a
# session of its own); a private D-Bus with a fake notification service in Python
# stands for a desktop's (tst_notifier); calcurse and khal import the iCalendar
# export as strict calendar programs do, and radicale takes it as a CalDAV server
# (tst_icalendar and interop_radicale) and serves the calendar server client's tests
# (tests/net, also over HTTPS with a certificate openssl makes); python3-caldav is the
# scripted phone that edits the server between two syncs (tests/interop/phone.py);
# gnome-keyring is the desktop's secret store the passwords are kept in
# (tst_secretstore, on a D-Bus session of its own); the
# package check makes the Debian package (CPack needs dpkg-dev and file) and runs
# lintian and AppStream's validator (appstream) on it.
DAYLOG_TEST_PACKAGES=(poppler-utils xvfb openbox xdotool xclip x11-utils python3-icalendar
    desktop-file-utils python3-pyatspi at-spi2-core dbus dbus-daemon python3-dbus python3-gi
    calcurse khal radicale openssl python3-caldav gnome-keyring dpkg-dev file lintian
    appstream)

ensure_packages() {
    local missing=()
    local p
    for p in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$p")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        if ! command -v sudo >/dev/null; then
            echo "Missing packages (${missing[*]}); run as root or install sudo." >&2
            return 1
        fi
        sudo=(sudo)
    fi
    echo "Installing: ${missing[*]}" >&2
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# A private runtime folder keeps Qt quiet where XDG_RUNTIME_DIR is not set.
ensure_runtime_dir() {
    if [ -z "${XDG_RUNTIME_DIR:-}" ] || [ ! -d "${XDG_RUNTIME_DIR}" ] || [ ! -w "${XDG_RUNTIME_DIR}" ]; then
        XDG_RUNTIME_DIR=$(mktemp -d "${TMPDIR:-/tmp}/daylog-runtime.XXXXXX")
        chmod 0700 "$XDG_RUNTIME_DIR"
        export XDG_RUNTIME_DIR
    fi
}

# configure_build DIR [cmake args...]: configures once; later builds reconfigure
# themselves when a CMake file changes.
configure_build() {
    local dir=$1
    shift
    if [ ! -f "$daylog_root/$dir/CMakeCache.txt" ]; then
        cmake -S "$daylog_root" -B "$daylog_root/$dir" -G Ninja "$@"
    else
        cmake "$daylog_root/$dir" "$@" >/dev/null
    fi
}
