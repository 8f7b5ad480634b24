#!/usr/bin/env python3
"""The main job shown on a virtual display (scripts/run.sh without a display): the Linux
desktop program and the local service, a French sentence selected in xterm, Ctrl+Shift+F12
pressed; prints the translation the balloon shows and saves a screenshot of it."""
import sys

from gtk_desktop import SCREENSHOTS, GtkDesktop

FRENCH = "Le chat est noir et la maison est grande."

with GtkDesktop() as desktop:
    desktop.start_service()
    desktop.start_program()
    term = desktop.start_xterm(FRENCH)
    desktop.select_first_line(term)
    desktop.mouse(300, 260)
    desktop.key("ctrl+shift+F12")
    balloon = desktop.wait_balloon()
    shot = desktop.screenshot("run.png")
    print(f"Selected in xterm: {FRENCH}")
    print(f"Balloon:           {desktop.title(balloon)}")
    print(f"Screenshot:        {shot.relative_to(SCREENSHOTS.parents[2])}")
sys.exit(0)
