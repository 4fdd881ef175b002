#!/usr/bin/python3
"""Tolvane on the bus as screen_reader.sh sets it up: what a screen reader gets of each control
("role|name|what it gets", "!" what it must not), commands answered at once, and a practice."""
import sys
import time

import pyatspi
from gi.repository import GLib

SHOWN = ",read-only,focusable,!editable"
MAIN = ["text|Phase time|text 0:00" + SHOWN, "text|Remaining time|label Remaining time" + SHOWN,
        "text|Round|label Round,text 000" + SHOWN, "push button|Start Pranayama|Press,!focusable",
        "push button|Stop Programme|!Press,!sensitive", "status bar||", "notification||text "]
SETTINGS = [
    "combo box|3|label Puraka", "combo box|0|label Abhyantara kumbhaka", "combo box|2|label Rounds",
    "combo box|3|label Rechaka", "combo box|0|label Bahya kumbhaka", "combo box|7|description days",
    "combo box|7|label Add one second to the round every", "radio button|No Kumbhaka|checked",
    "text|Round time|label Round time,text 00:06" + SHOWN, "radio button|One Kumbhaka|!checked",
    "text|Total time|label Total time,text 0:00:12" + SHOWN]


def controls(title):
    for _ in range(100):
        for window in (w for app in pyatspi.Registry.getDesktop(0) for w in app or []):
            if window.name == title and window.getState().contains(pyatspi.STATE_SHOWING):
                return [(f"{n.getRoleName()}|{n.name}", n, facts(n)) for n in
                        [window] + pyatspi.findAllDescendants(window, lambda n: True)]
        time.sleep(0.1)
    sys.exit(f'FAIL: no window "{title}" on the bus')


def facts(node):
    got = {"description " + node.description} | {s.value_nick for s in node.getState().getStates()}
    got |= {"label " + r.getTarget(0).name for r in node.getRelationSet()
            if r.getRelationType() == pyatspi.RELATION_LABELLED_BY}
    if "Text" in node.get_interfaces():
        got.add("text " + node.queryText().getText(0, -1))
    action = node.queryAction() if "Action" in node.get_interfaces() else None
    return got | {action.getName(i) for i in range(action.nActions if action else 0)}


def expect(title, rows):
    seen = controls(title)
    for control, wanted in (row.rsplit("|", 1) for row in rows):
        if not any(c == control and all(w[1:] not in f if w[0] == "!" else w in f
                                        for w in wanted.split(",") if w) for c, _, f in seen):
            sys.exit(f'FAIL: "{title}" has no {control} with {wanted}')


def press(title, control):
    actions = next(n for c, n, f in controls(title) if c == control and "Press" in f).queryAction()
    started = time.monotonic()
    actions.doAction([actions.getName(i) for i in range(actions.nActions)].index("Press"))
    if time.monotonic() - started > 1:
        sys.exit(f"FAIL: {control} was answered after {time.monotonic() - started} s")


expect("Tolvane", MAIN)
press("Tolvane", "menu item|Pranayama Type")
expect("Pranayama Settings", SETTINGS)
press("Pranayama Settings", "push button|Cancel")
for item, title in ("Help", "Tolvane Help"), ("Practice Log", "Practice Log"):
    press("Tolvane", "menu item|" + item)
    expect(title, [f"frame|{title}|"])
told = []  # during the practice: the notifications shown, and whatever the displays send
pyatspi.Registry.registerEventListener(lambda e: told.append(e.source.name) if e.detail1 and
                                       e.source.getRoleName() == "notification" else None,
                                       "object:state-changed:showing")
pyatspi.Registry.registerEventListener(lambda e: told.append(e.type) if e.source.getRoleName() ==
                                       "text" else None, "object:property-change",
                                       "object:text-changed")
press("Tolvane", "push button|Start Pranayama")
GLib.timeout_add(15000, pyatspi.Registry.stop)
pyatspi.Registry.start()
if told != ["Puraka", "Rechaka", "Puraka", "Rechaka", "The end"]:
    sys.exit(f"FAIL: a screen reader was told {told} during the practice")
