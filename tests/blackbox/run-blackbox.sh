#!/bin/bash
# nimbral.exe driven from outside its process in a fresh prefix of its own, with a display: started
# without arguments it is walked through one clean run (splash, main window, " Clean  Now", the
# results log, close, main window, File > Exit) by walk_windows.exe, then through the plugin download
# browser, whose pages go to a recorder that stands in for the web browser; started with /auto under
# password protection, its prompt is cancelled, closed, answered wrongly and answered rightly; and on
# a machine never set up, the setup wizard is walked from the main window to its end, keeping one
# cookie site, before a clean. Real key presses go into the wizard's text boxes, and second copies
# are started while a clean runs.
#
# usage: run-blackbox.sh BUILD_DIR
set -u
build="$(cd "$1" && pwd)"
root="$build/wine-blackbox"
. "$(dirname "$0")/../../tools/fresh-prefix.sh"
nimbral="$build/src/nimbral.exe"
walk="$build/tools/walk/walk_windows.exe"
settings='HKCU\Software\VB and VBA Program Settings\Nimbral Windows Cleaner\Settings'
typed='HKCU\Software\Microsoft\Internet Explorer\TypedURLs'

if [ -z "${DISPLAY:-}" ]; then
    echo "the black-box test needs a display: run it under xvfb-run"
    exit 1
fi

failures=0
passes=0
fail() {
    echo "FAIL [$scenario]: $*"
    failures=$((failures + 1))
}
check() { # description, command...
    local what="$1"
    shift
    if "$@"; then passes=$((passes + 1)); else fail "$what"; fi
}

fresh_prefix "$root"
program="$(winepath -w "$nimbral")"

# ---- the road of one clean run, through the windows ----
scenario=walk
wine "$build/tools/seed/seed_demo.exe" --typed 3 --cookies 3 --temp 3 --plain </dev/null >/dev/null 2>&1 ||
    fail "seeding"
timeout 300 wine "$walk" walk "$program" </dev/null >"$root/walk.log" 2>&1
status=$?
tr -d '\r' <"$root/walk.log" >"$root/walk.txt"
cat "$root/walk.txt"
check "the walk went as a user would see it" test "$status" = 0
check "the log shows the typed addresses step" grep -qx "| -- BEGIN || Edit Typed URL's" "$root/walk.txt"
check "the log ends with the plugin step" grep -qx "| -- END   || Plugins" "$root/walk.txt"
typed_now="$(wine reg query "$typed" 2>/dev/null | tr -d '\r')"
check "the deleted typed address is gone" test -z "$(echo "$typed_now" | grep news.example.org)"
check "the kept typed address stays" test -n "$(echo "$typed_now" | grep www.example.com)"

# ---- the plugin download browser ----
# The prefix has no HTML engine, so the window hands its pages to the shell. The shell's handler of web
# addresses is a recorder here (walk_windows.exe record): nothing is fetched, and no browser of the
# machine is started. Recorders may finish out of their order, so the lines are compared sorted.
scenario=plugins
opened="$root/opened-links.txt"
for protocol in http https; do
    wine reg add "HKCR\\$protocol\\shell\\open\\command" /ve /f \
        /d "\"$(winepath -w "$walk")\" record \"$(winepath -w "$opened")\" \"%1\"" >/dev/null 2>&1
done
timeout 300 wine "$walk" plugins "$program" </dev/null >"$root/plugins.log" 2>&1
status=$?
tr -d '\r' <"$root/plugins.log" >"$root/plugins.txt"
cat "$root/plugins.txt"
check "the plugin window went as a user would see it" test "$status" = 0
# The last recorder may still be on its way.
for _ in $(seq 100); do
    [ "$(wc -l 2>/dev/null <"$opened" || echo 0)" -ge 3 ] && break
    sleep 0.1
done
expected_links="$(printf '%s\n' http://www.example.org/more http://www.nimbral.example/plugins/ \
    http://www.nimbral.example/plugins/)"
check "the shell opened the download page twice and the typed address once" \
    test "$(sort "$opened" 2>/dev/null)" = "$expected_links"

# ---- Enter in the setup wizard's text boxes, typed with real keys ----
scenario=keys
sites_before="$(wine reg query "$settings" 2>/dev/null | tr -d '\r' | grep -ci 'sit[0-9]')"
timeout 300 wine "$walk" keys "$program" </dev/null >"$root/keys.log" 2>&1
status=$?
tr -d '\r' <"$root/keys.log" >"$root/keys.txt"
cat "$root/keys.txt"
check "Enter added in each text box and stayed on its page" test "$status" = 0
check "the cancelled wizard stored nothing" \
    test "$(wine reg query "$settings" 2>/dev/null | tr -d '\r' | grep -ci 'sit[0-9]')" = "$sites_before"

# ---- a second copy started while a clean runs ----
scenario=second
wine reg add "$settings" /v dewint /d 1 /f >/dev/null 2>&1
wine reg add "$typed" /v url1 /d 'http://second.copy.example/' /f >/dev/null 2>&1
timeout 300 wine "$walk" second "$program" </dev/null >"$root/second.log" 2>&1
status=$?
tr -d '\r' <"$root/second.log" >"$root/second.txt"
cat "$root/second.txt"
check "the second copies stood back while the first cleaned" test "$status" = 0

# ---- a switch that is almost a preview never cleans ----
wine reg add "$typed" /v url1 /d 'http://not.a.preview.example/' /f >/dev/null 2>&1
for mistyped in -preview /preview:yes /previews /preview,; do
    scenario="switch $mistyped"
    wine "$nimbral" /auto "$mistyped" /yes </dev/null >"$root/switch.log" 2>/dev/null
    code=$?
    check "exit code 2" test "$code" = 2
    check "one line names the argument" test "$(tr -d '\r' <"$root/switch.log")" = "Unknown argument: $mistyped"
    check "nothing was cleaned" test -n "$(wine reg query "$typed" /v url1 2>/dev/null | grep not.a.preview)"
done

# ---- /auto behind the password prompt ----
wine reg add "$settings" /v ipa /d 1 /f >/dev/null 2>&1
wine reg add "$settings" /v enc /d 0 /f >/dev/null 2>&1
wine reg add "$settings" /v pas /d 'Open Sesame' /f >/dev/null 2>&1
wine reg add "$settings" /v dewint /d 0 /f >/dev/null 2>&1

auto_behind_prompt() { # action, password; sets $code and $root/auto.txt
    wine reg add "$typed" /v url1 /d 'http://still.here.example/' /f >/dev/null 2>&1
    wine "$nimbral" /auto </dev/null >"$root/auto.log" 2>/dev/null &
    local program_pid=$!
    timeout 120 wine "$walk" prompt "$1" "${2:-}" </dev/null >"$root/prompt.log" 2>&1 || fail "$(tr -d '\r' <"$root/prompt.log")"
    wait "$program_pid"
    code=$?
    tr -d '\r' <"$root/auto.log" >"$root/auto.txt"
}

for action in cancel close wrong; do
    scenario="prompt $action"
    auto_behind_prompt "$action" 'open sesame'
    check "exit code is not 0" test "$code" != 0
    check "one line says the clean was cancelled" test "$(cat "$root/auto.txt")" = "Clean cancelled at the password prompt."
    check "nothing was cleaned" test -n "$(wine reg query "$typed" /v url1 2>/dev/null | grep still.here)"
done

scenario="prompt ok"
auto_behind_prompt ok 'Open Sesame'
check "exit code 0" test "$code" = 0
check "the clean ran" grep -qx -- "-- END   || Plugins" "$root/auto.txt"
check "the typed address is gone" test -z "$(wine reg query "$typed" /v url1 2>/dev/null | grep still.here)"

# ---- a new user sets the program up: the wizard from the main window, one cookie site kept ----
scenario=wizard
fresh_prefix "$root"
wine "$build/tools/seed/seed_demo.exe" --cookies 4 --cookie-entries 6 --no-settings </dev/null >/dev/null 2>&1 ||
    fail "seeding"
cookies="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/Microsoft/Windows/INetCookies"
timeout 300 wine "$walk" wizard "$program" news.example.org </dev/null >"$root/wizard.log" 2>&1
status=$?
tr -d '\r' <"$root/wizard.log" >"$root/wizard.txt"
cat "$root/wizard.txt"
check "the wizard went as a user would see it" test "$status" = 0
check "the kept site's cookie entry is kept" grep -qx "| Kept 1 Cookies in Internet Cache" "$root/wizard.txt"
check "the kept site's cookie file stays" test -n "$(ls "$cookies" | grep -i 'news.example.org')"
check "the other sites' cookie files are gone" test -z "$(ls "$cookies" | grep -iE 'tracker.example|shop.example.net')"
check "the wizard marked itself done" test -n "$(wine reg query "$settings" /v run 2>/dev/null | grep -w 1)"

wineserver -k 2>/dev/null
echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
