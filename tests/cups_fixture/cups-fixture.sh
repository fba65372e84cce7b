#!/usr/bin/env bash
# A private CUPS scheduler for the tests: cups-fixture.sh start|stop|status DIR
#
# Everything lives under DIR: configuration, spool, logs, the scheduler's socket DIR/cups.sock
# and one capture folder per printer (DIR/capture/NAME). The "capture" backend saves each job as
# NNNN.doc (the document as the queue delivered it) and NNNN.txt (job id, user, title, copies,
# options), written in that order so that a .txt file always means a complete job.
# Printers: Capture_A (raw), Capture_B (Generic PDF PPD, Letter paper, the default, no A3),
# Capture_Duplex (the same PPD, for jobs with options: it offers two-sided printing),
# Capture_A3 (the same PPD cut down to A4, the default, and A3), Capture_Letter (raw, its
# default paper only the queue option media-default=na_letter_8.5x11in) and Capture_Rejects
# (refuses every job). Clients use it with CUPS_SERVER=DIR/cups.sock.
# The scheduler is stopped by the process id recorded at start, never by name.
set -euo pipefail

usage() {
    echo "usage: $0 start|stop|status DIR" >&2
    exit 64
}
[ $# -eq 2 ] || usage
action=$1
dir=$(realpath -m "$2")
socket="$dir/cups.sock"
pidfile="$dir/cupsd.pid"
pdf_ppd=/usr/share/ppd/cupsfilters/Generic-PDF_Printer-PDF.ppd

# The recorded scheduler's pid, when that process still runs with this folder's configuration.
running_pid() {
    [ -f "$pidfile" ] || return 1
    local pid
    pid=$(cat "$pidfile")
    [ -n "$pid" ] && [ -r "/proc/$pid/cmdline" ] || return 1
    tr '\0' ' ' <"/proc/$pid/cmdline" | grep -qF -- "-c $dir/cupsd.conf" || return 1
    echo "$pid"
}

stop() {
    local pid
    if pid=$(running_pid); then
        kill -TERM "$pid" 2>/dev/null || true
        for _ in $(seq 1 50); do
            [ -d "/proc/$pid" ] || break
            sleep 0.1
        done
        [ -d "/proc/$pid" ] && kill -KILL "$pid" 2>/dev/null || true
    fi
    rm -f "$pidfile" "$socket"
}

write_backend() {
    cat >"$dir/serverbin/backend/capture" <<'BACKEND'
#!/bin/sh
# capture backend: DEVICE_URI=capture:/FOLDER; argv: job-id user title copies options [file]
if [ $# -eq 0 ]; then
    echo 'direct capture "Unknown" "Test capture backend"'
    exit 0
fi
umask 022
folder=${DEVICE_URI#capture:}
mkdir -p "$folder" || exit 1
name=$(printf '%04d' "$1")
if [ $# -ge 6 ]; then
    cp "$6" "$folder/$name.tmp" || exit 1
else
    cat >"$folder/$name.tmp" || exit 1
fi
mv "$folder/$name.tmp" "$folder/$name.doc"
{
    printf 'job-id=%s\n' "$1"
    printf 'user=%s\n' "$2"
    printf 'title=%s\n' "$3"
    printf 'copies=%s\n' "$4"
    printf 'options=%s\n' "$5"
} >"$folder/$name.txt.tmp" && mv "$folder/$name.txt.tmp" "$folder/$name.txt"
exit 0
BACKEND
    # A backend without group or world permissions runs as root, so it can write anywhere.
    if [ "$(id -u)" -eq 0 ]; then chmod 0700 "$dir/serverbin/backend/capture"; else chmod 0755 "$dir/serverbin/backend/capture"; fi
}

# The Generic PDF PPD with A4 (the default) and A3 as its only papers.
write_a3_ppd() {
    awk '
        /^\*(PageSize|PageRegion|ImageableArea|PaperDimension) / {
            if ($2 !~ /^A4\//) next
            print
            line = $0
            sub(/A4\/A4/, "A3/A3", line)
            sub(/PAPER=A4/, "PAPER=A3", line)
            if ($1 == "*ImageableArea") line = "*ImageableArea A3/A3: \"18 36 824 1155\""
            if ($1 == "*PaperDimension") line = "*PaperDimension A3/A3: \"842 1191\""
            print line
            next
        }
        /^\*Default(PageSize|PageRegion|ImageableArea|PaperDimension):/ { sub(/Letter/, "A4") }
        /^\*(ModelName|ShortNickName|NickName):/ { sub(/Generic PDF Printer/, "A3 PDF Printer") }
        { print }
    ' "$pdf_ppd" >"$dir/a3.ppd"
}

write_config() {
    # As root the scheduler runs filters as lp; otherwise everything runs as the caller.
    local accounts="User lp
Group lp
SystemGroup root"
    [ "$(id -u)" -eq 0 ] || accounts="SystemGroup $(id -gn)"
    cat >"$dir/cups-files.conf" <<CONF
ServerRoot $dir/conf
ServerBin $dir/serverbin
RequestRoot $dir/spool
TempDir $dir/spool/tmp
CacheDir $dir/cache
StateDir $dir/state
AccessLog $dir/log/access_log
ErrorLog $dir/log/error_log
PageLog $dir/log/page_log
Printcap $dir/printcap
$accounts
FileDevice Yes
Sandboxing Relaxed
CONF
    cat >"$dir/cupsd.conf" <<CONF
Listen $socket
Browsing No
BrowseLocalProtocols none
DefaultShared No
WebInterface No
DefaultPaperSize None
LogLevel info
MaxLogSize 0
PreserveJobFiles No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  JobPrivateAccess all
  JobPrivateValues none
  SubscriptionPrivateAccess all
  SubscriptionPrivateValues none
  <Limit All>
    Order allow,deny
    Allow all
  </Limit>
</Policy>
CONF
}

start() {
    stop
    command -v cupsd >/dev/null || { echo "cupsd not found (package cups)" >&2; exit 1; }
    [ -f "$pdf_ppd" ] || { echo "$pdf_ppd not found (package cups-filters)" >&2; exit 1; }
    if [ ${#socket} -ge 100 ]; then
        echo "socket path too long for a Unix socket: $socket" >&2
        exit 1
    fi
    # The folder is wiped for a clean start: only ever one of ours (or an empty or new one).
    if [ -d "$dir" ] && [ -n "$(ls -A "$dir")" ] && [ ! -f "$dir/cups-files.conf" ]; then
        echo "$dir is not empty and holds no fixture; refusing to wipe it" >&2
        exit 1
    fi
    rm -rf "$dir"
    mkdir -p "$dir"/{conf/ppd,serverbin/backend,spool/tmp,cache,state,log,capture}
    for part in filter daemon cgi-bin monitor notifier driver; do
        [ -e "/usr/lib/cups/$part" ] && ln -s "/usr/lib/cups/$part" "$dir/serverbin/$part"
    done
    chmod 0755 "$dir" "$dir/capture"
    chmod 1777 "$dir/spool/tmp"
    write_backend
    write_a3_ppd
    write_config

    setsid cupsd -f -c "$dir/cupsd.conf" -s "$dir/cups-files.conf" \
        </dev/null >"$dir/log/cupsd.out" 2>&1 &
    echo $! >"$pidfile"
    for _ in $(seq 1 100); do
        if [ -S "$socket" ] && lpstat -h "$socket" -r 2>/dev/null | grep -q "is running"; then
            break
        fi
        if ! running_pid >/dev/null; then
            echo "cupsd did not start:" >&2
            cat "$dir/log/cupsd.out" "$dir/log/error_log" >&2 2>/dev/null || true
            exit 1
        fi
        sleep 0.05
    done
    if ! lpstat -h "$socket" -r 2>/dev/null | grep -q "is running"; then
        echo "cupsd does not answer on $socket" >&2
        stop
        exit 1
    fi

    export CUPS_SERVER=$socket
    lpadmin -p Capture_A -E -v "capture:$dir/capture/Capture_A"
    lpadmin -p Capture_B -E -v "capture:$dir/capture/Capture_B" -P "$pdf_ppd"
    lpadmin -p Capture_Duplex -E -v "capture:$dir/capture/Capture_Duplex" -P "$pdf_ppd"
    lpadmin -p Capture_A3 -E -v "capture:$dir/capture/Capture_A3" -P "$dir/a3.ppd"
    lpadmin -p Capture_Letter -E -v "capture:$dir/capture/Capture_Letter" \
        -o media-default=na_letter_8.5x11in
    lpadmin -p Capture_Rejects -E -v "capture:$dir/capture/Capture_Rejects"
    cupsreject -r "refusing every job" Capture_Rejects
    lpadmin -d Capture_B
    echo "CUPS_SERVER=$socket"
}

status() {
    if pid=$(running_pid); then
        echo "running, pid $pid, CUPS_SERVER=$socket"
    else
        echo "not running"
        exit 1
    fi
}

case "$action" in
start) start ;;
stop) stop ;;
status) status ;;
*) usage ;;
esac
