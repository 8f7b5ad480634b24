#!/usr/bin/env bash
# Runs a command on a virtual display of its own: xvfb-run -a takes a free display number.
# -noreset: by default the X server resets when its last client disconnects, and a client
# that connects during the reset is dropped before its setup is answered, so that its
# XOpenDisplay fails. The tests open and close the display all the time.
exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$@"
