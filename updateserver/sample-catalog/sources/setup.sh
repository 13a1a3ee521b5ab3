#!/bin/sh
# Setup program of a sample update. Copies the update's program files into the host directory
# (the first argument; without one, the directory of this script) and records every step in
# "update-setup.log" there.
#
# It keeps the "Working" flag the update client checks after every setup: the value "Working" in
# section "UpdateSetup" of the host's application settings (an INI file of the per-user settings
# store) is set before anything is touched and removed only when everything is in place. A
# setup that stops half-way leaves it set, and the client refuses to go on.
#
# QUORLAN_APP_NAME overrides the host's application name; QUORLAN_SETUP_FAIL=1 makes the setup
# stop half-way, for trying out the client's reaction.
set -u

here=$(cd "$(dirname "$0")" && pwd)
. "$here/update.conf" # PRODUCT, VERSION, APP_NAME

host_dir=${1:-$here}
app_name=${QUORLAN_APP_NAME:-$APP_NAME}
settings_dir="${XDG_CONFIG_HOME:-$HOME/.config}/VB and VBA Program Settings"
settings="$settings_dir/$app_name.ini"
log="$host_dir/update-setup.log"

record() {
    printf '%s %s %s: %s\n' "$(date '+%Y-%m-%d %H:%M:%S')" "$PRODUCT" "$VERSION" "$1" >>"$log"
}

# Rewrites the settings file with "Working" in [UpdateSetup] removed and, when $1 is not empty,
# set to $1. Other sections and keys stay as they are.
write_working() {
    mkdir -p "$settings_dir" || return 1
    [ -f "$settings" ] || : >"$settings"
    awk -v value="$1" '
        function add() { if (value != "") print "Working=" value; added = 1 }
        /^\[.*\][ \t\r]*$/ {
            if (inside && !added) add()
            inside = ($0 ~ /^\[UpdateSetup\]/)
            print
            next
        }
        inside && /^Working[ \t]*=/ { next }
        { print }
        END {
            if (inside && !added) add()
            else if (!added && value != "") { print "[UpdateSetup]"; add() }
        }' "$settings" >"$settings.tmp" && mv "$settings.tmp" "$settings"
}

write_working "$VERSION" || exit 1
record "Setup gestartet, Working gesetzt ($settings)"

for file in "$here"/programm-*.txt; do
    cp "$file" "$host_dir/" || { record "Kopieren von $(basename "$file") fehlgeschlagen"; exit 1; }
    record "$(basename "$file") kopiert"
done
printf '%s\n' "$VERSION" >"$host_dir/version.txt" || exit 1
record "version.txt auf $VERSION gesetzt"

if [ -n "${QUORLAN_SETUP_FAIL:-}" ]; then
    record "Setup abgebrochen, Working bleibt gesetzt"
    exit 1
fi

write_working "" || exit 1
record "Setup beendet, Working entfernt"
