#!/usr/bin/python3
"""OvUI through the accessibility bus, as a screen reader reaches it.

Started by run_atspi.sh (display, buses, daemons and OvUI already up). Every function named
test_* below is one test; it gets the Ui object, acts through pyatspi only (press by name, read
names, states and table cells) and fails with an AssertionError that says what it saw. Waiting
is always a poll of the bus with a deadline, never a fixed sleep.
"""
import argparse
import json
import sys
import time
import traceback

import pyatspi
from gi.repository import GLib

# Roles a user operates or reads a value from: each needs a name.
CONTROL_ROLES = {
    pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_TOGGLE_BUTTON, pyatspi.ROLE_CHECK_BOX,
    pyatspi.ROLE_RADIO_BUTTON, pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY,
    pyatspi.ROLE_PASSWORD_TEXT, pyatspi.ROLE_SPIN_BUTTON, pyatspi.ROLE_SLIDER,
    pyatspi.ROLE_PAGE_TAB, pyatspi.ROLE_LIST, pyatspi.ROLE_LIST_BOX, pyatspi.ROLE_TABLE,
    pyatspi.ROLE_TREE, pyatspi.ROLE_TREE_TABLE, pyatspi.ROLE_PROGRESS_BAR,
    pyatspi.ROLE_SCROLL_BAR, pyatspi.ROLE_LINK, pyatspi.ROLE_MENU_ITEM,
}
# Their children are items or inner parts, read through them.
READ_THROUGH = {
    pyatspi.ROLE_TABLE, pyatspi.ROLE_TREE_TABLE, pyatspi.ROLE_TREE, pyatspi.ROLE_LIST,
    pyatspi.ROLE_LIST_BOX, pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_SPIN_BUTTON,
}
DEFAULT_WAIT = 20.0


def pump():
    """Lets the bus deliver the events that keep pyatspi's cache current."""
    context = GLib.MainContext.default()
    while context.pending():
        context.iteration(False)


def wait_until(what, check, timeout=DEFAULT_WAIT):
    """Polls `check` until it returns something true; fails naming `what` at the deadline."""
    deadline = time.monotonic() + timeout
    while True:
        pump()
        result = check()
        if result:
            return result
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out after {timeout:.0f} s waiting for {what}")
        time.sleep(0.05)


def fresh(acc):
    try:
        acc.clear_cache()
    except Exception:  # an object that went away has nothing to clear
        pass
    return acc


def children(acc):
    try:
        return [c for c in fresh(acc) if c is not None]
    except Exception:
        return []


def states(acc):
    return fresh(acc).getState()


def showing(acc):
    s = states(acc)
    return s.contains(pyatspi.STATE_SHOWING) and s.contains(pyatspi.STATE_VISIBLE)


def labelled(acc):
    for relation in acc.getRelationSet():
        if relation.getRelationType() != pyatspi.RELATION_LABELLED_BY:
            continue
        for i in range(relation.getNTargets()):
            if relation.getTarget(i).name.strip():
                return True
    return False


def named(acc):
    # A combo box's name on this platform is its current entry; its label names it.
    if acc.getRole() == pyatspi.ROLE_COMBO_BOX:
        return labelled(acc)
    return bool(acc.name.strip()) or labelled(acc)


def path_of(acc, top):
    parts = []
    while acc is not None:
        # Unnamed objects are told apart by their place among their siblings.
        parts.append(f"{acc.getRoleName()}:{acc.name!r}" if acc.name
                     else f"{acc.getRoleName()}#{acc.getIndexInParent()}")
        if acc == top:
            break
        acc = acc.parent
    return " / ".join(reversed(parts))


def walk(acc, skip_inside=READ_THROUGH):
    """The showing objects under `acc` (itself included), not entering item views."""
    if not showing(acc):
        return
    yield acc
    if acc.getRole() in skip_inside:
        return
    for child in children(acc):
        yield from walk(child, skip_inside)


def read_language(path):
    texts = {}
    section = None
    with open(path, encoding="utf-8", errors="replace") as f:
        for line in f:
            line = line.rstrip("\r\n")
            if line.startswith("[") and line.endswith("]"):
                section = line[1:-1]
            elif section == "Strings" and "=" in line:
                key, value = line.split("=", 1)
                if len(value) >= 2 and value[0] == value[-1] and value[0] in "\"'":
                    value = value[1:-1]
                texts[key] = value
    return texts


class Ui:
    def __init__(self, pid, texts, scenario):
        self.texts = texts
        self.scenario = scenario
        title = texts["IDS_ORVANE_CONFIG_TITLE"]

        def find_window():
            for app in children(pyatspi.Registry.getDesktop(0)):
                try:
                    if app.get_process_id() != pid:
                        continue
                except Exception:
                    continue
                for window in children(app):
                    if window.name == title and showing(window):
                        return window
            return None

        try:
            self.window = wait_until(f"OvUI's window '{title}' on the bus", find_window, 30)
        except AssertionError as e:
            seen = []
            for app in children(pyatspi.Registry.getDesktop(0)):
                seen.append(f"{app.name} (pid {app.get_process_id()}): " +
                            ", ".join(f"{w.getRoleName()} {w.name!r}" for w in children(app)))
            raise AssertionError(f"{e}; on the bus: {seen or 'nothing'}") from None

    def find(self, role, name, under=None, timeout=DEFAULT_WAIT):
        """The showing object of `role` named `name`, waited for."""
        top = under or self.window

        def look():
            for acc in walk(top):
                if acc.getRole() == role and acc.name == name:
                    return acc
            return None

        return wait_until(f"a {getattr(role, 'value_nick', role)} named {name!r}", look, timeout)

    def shown_bar_tabs(self):
        """The main window's page tabs in sight and enabled (a page's own tab lists apart)."""
        return [a for a in walk(self.window) if a.getRole() == pyatspi.ROLE_PAGE_TAB
                and states(a).contains(pyatspi.STATE_ENABLED)
                and a.parent.getRole() != pyatspi.ROLE_PAGE_TAB_LIST]

    def each_bar_tab(self):
        """Every enabled page tab of the bar, scrolling it with its arrows as a user must."""
        left = self.texts["IDS_BTN_SCROLL_LEFT"]
        right = self.texts["IDS_BTN_SCROLL_RIGHT"]

        def scroll(name):
            """Presses the enabled arrow `name` and waits for the bar to move; False without one."""
            arrow = None
            for a in walk(self.window):
                if (a.getRole() == pyatspi.ROLE_PUSH_BUTTON and a.name == name
                        and states(a).contains(pyatspi.STATE_ENABLED)):
                    arrow = a
            if arrow is None:
                return False
            before = [t.name for t in self.shown_bar_tabs()]
            self.press(arrow)
            wait_until(f"the bar moved by {name!r}",
                       lambda: [t.name for t in self.shown_bar_tabs()] != before)
            return True

        for _ in range(20):  # back to the bar's start
            if not scroll(left):
                break
        seen = set()
        for _ in range(20):
            for tab in self.shown_bar_tabs():
                if tab.name not in seen:
                    seen.add(tab.name)
                    yield tab
            if not scroll(right):
                return

    def open_page(self, name):
        """Presses the bar's page tab named `name`, scrolling the bar to it first."""
        for tab in self.each_bar_tab():
            if tab.name == name:
                self.press(tab)
                wait_until(f"the tab {name!r} selected", lambda: self.selected(tab))
                return
        raise AssertionError(f"no page tab {name!r} on the bar")

    def dump(self, acc=None, depth=0):
        """Prints the tree under `acc` (default: the window) as the bus shows it."""
        acc = acc or self.window
        if not showing(acc):
            return
        relations = " labelled" if labelled(acc) else ""
        print(f"{'  ' * depth}{acc.getRoleName()} {acc.name!r}{relations}"
              + (f" [{acc.description}]" if acc.description else ""))
        if acc.getRole() in READ_THROUGH:
            return
        for child in children(acc):
            self.dump(child, depth + 1)

    def press(self, acc):
        """Presses `acc` through its action interface, as a screen reader's user does."""
        action = acc.queryAction()
        names = [action.getName(i) for i in range(action.nActions)]
        for i, name in enumerate(names):
            if name.lower() in ("press", "click", "activate"):
                action.doAction(i)
                return
        raise AssertionError(f"{path_of(acc, self.window)} has no press action (it has {names})")

    def selected(self, acc):
        return states(acc).contains(pyatspi.STATE_SELECTED)

    def unnamed(self):
        return [path_of(a, self.window) for a in walk(self.window)
                if a.getRole() in CONTROL_ROLES and not named(a)]


# ---------------------------------------------------------------------------------------------
# The tests. A new page adds its own below: reach it by pressing its tab (ui.press on the page
# tab named by its language text), find its controls by role and language text, act, and wait
# for what the user would hear.


def test_every_shown_control_has_a_name(ui):
    problems = [f"(first page) {p}" for p in ui.unnamed()]
    for tab in ui.each_bar_tab():
        ui.press(tab)
        wait_until(f"the tab {tab.name!r} selected", lambda: ui.selected(tab))
        problems += [f"({tab.name}) {p}" for p in ui.unnamed()]
    assert not problems, "unnamed controls:\n  " + "\n  ".join(sorted(set(problems)))


def test_bar_buttons_switch_pages(ui):
    tabs = list(ui.each_bar_tab())
    names = [t.name for t in tabs]
    t = ui.texts
    for expected in (t["IDS_TAB_SITESURVEY"], t["IDS_TAB_STATISTICS"], t["IDS_TAB_ABOUT"]):
        assert expected in names, f"no page tab {expected!r} among {names}"
    # What each page shows that the others do not.
    marks = {
        t["IDS_TAB_SITESURVEY"]: (pyatspi.ROLE_TABLE, t["IDS_SITESUR_AP_LIST"]),
        t["IDS_TAB_STATISTICS"]: (pyatspi.ROLE_PUSH_BUTTON, t["IDS_STA_RESETCOUNTER"]),
    }
    for tab in ui.each_bar_tab():
        ui.press(tab)
        wait_until(f"{tab.name!r} the only selected tab",
                   lambda: [x.name for x in tabs if ui.selected(x)] == [tab.name])
        for page, (role, name) in marks.items():
            if page == tab.name:
                ui.find(role, name)
            else:
                shown = [a for a in walk(ui.window) if a.getRole() == role and a.name == name]
                assert not shown, f"{name!r} of {page!r} still showing on {tab.name!r}"


def test_tray_state_is_readable_from_the_window(ui):
    # The scenario's adapter starts with no connection.
    expected = ui.texts["IDS_ORVANE_LOST"]
    wait_until(f"the window's description {expected!r}",
               lambda: fresh(ui.window).description == expected)


def test_site_survey_lists_the_scenarios_networks(ui):
    t = ui.texts
    ui.open_page(t["IDS_TAB_SITESURVEY"])
    table_acc = ui.find(pyatspi.ROLE_TABLE, t["IDS_SITESUR_AP_LIST"])
    wanted = {ap["ssid"] for ap in ui.scenario["access_points"] if not ap.get("hidden")}

    def listed():
        table = fresh(table_acc).queryTable()
        cells = set()
        for row in range(table.nRows):
            for column in range(table.nColumns):
                cell = table.getAccessibleAt(row, column)
                if cell is not None:
                    cells.add(cell.name)
        return cells

    seen = set()

    def all_listed():
        nonlocal seen
        seen = listed()
        return wanted <= seen

    try:
        wait_until("every network of the scenario in the AP list", all_listed, 30)
    except AssertionError as e:
        raise AssertionError(f"{e}; missing {sorted(wanted - seen)}") from None


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--pid", type=int, required=True)
    parser.add_argument("--root", required=True)
    parser.add_argument("--scenario", required=True)
    parser.add_argument("--language", required=True)
    parser.add_argument("--dump", action="store_true", help="print the window's tree first")
    parser.add_argument("tests", nargs="*", help="test names to run (default: all)")
    args = parser.parse_args()

    with open(args.scenario, encoding="utf-8") as f:
        scenario = json.load(f)
    ui = Ui(args.pid, read_language(args.language), scenario)
    if args.dump:
        ui.dump()
    tests = [(n, f) for n, f in globals().items() if n.startswith("test_") and callable(f)]
    if args.tests:
        unknown = set(args.tests) - {n for n, _ in tests}
        if unknown:
            print(f"unknown tests: {sorted(unknown)}", file=sys.stderr)
            return 2
        tests = [(n, f) for n, f in tests if n in args.tests]
    failed = 0
    for name, test in tests:
        started = time.monotonic()
        try:
            test(ui)
            print(f"PASS {name} ({time.monotonic() - started:.1f} s)", flush=True)
        except Exception as e:  # every failure is reported, the other tests still run
            failed += 1
            print(f"FAIL {name}: {e}", flush=True)
            if not isinstance(e, AssertionError):
                traceback.print_exc()
    print(f"{len(tests) - failed} of {len(tests)} passed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
