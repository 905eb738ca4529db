"""The main window as a screen reader hears it over the accessibility bus:
each list is named by its current item and labelled by its caption, and the
model list names the radio a read has just found. With the argument station,
the station window: its controls by role and name, and a port's panel heard
with its state once its radio has passed."""
import sys
import time

import pyatspi

WAIT_S = 20.0


def wait_for(what, seconds=WAIT_S):
    deadline = time.monotonic() + seconds
    while True:
        found = what()
        if found or time.monotonic() > deadline:
            return found
        time.sleep(0.1)


def program():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "KelvraSet":
            return app
    return None


def nodes(root):
    pending = [root]
    while pending:
        node = pending.pop()
        if node is None:
            continue
        yield node
        pending.extend(node)


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def labelled_lists(app):
    """Each caption with the list it labels, as a screen reader pairs them."""
    lists = {}
    for node in nodes(app):
        if node.getRole() != pyatspi.ROLE_COMBO_BOX or not showing(node):
            continue
        for relation in node.getRelationSet():
            if relation.getRelationType() != pyatspi.RELATION_LABELLED_BY:
                continue
            for i in range(relation.getNTargets()):
                label = relation.getTarget(i)
                if label.getRole() == pyatspi.ROLE_LABEL:
                    lists[label.name] = node
    return lists


def items(combo):
    return [item.name for child in combo for item in child]


def controls(app):
    """What Tab reaches: each push button, list and list item showing, as (role, name)."""
    roles = (pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_LIST, pyatspi.ROLE_LIST_ITEM)
    return sorted((n.getRoleName(), n.name) for n in nodes(app)
                  if n.getRole() in roles and showing(n) and n.getState().contains(pyatspi.STATE_FOCUSABLE))


def press(app, name):
    button = next(n for n in nodes(app) if n.getRole() == pyatspi.ROLE_PUSH_BUTTON and n.name == name)
    action = button.queryAction()
    action.doAction(next(i for i in range(action.nActions) if action.getName(i) == "Press"))


def station(app, expect):
    """The station window: its controls by role and name, the port ticked, and
    a panel per port that a screen reader hears as the port, with its state."""
    ready = wait_for(lambda: ("push button", "Start") in controls(app))
    # The machine's own serial ports may be listed beside the simulated radio's.
    ours = [c for c in controls(app) if c[0] != "list item" or c[1] == "COM9"]
    expect("station controls", ours, [("list", "Ports"), ("list item", "COM9"), ("push button", "Open Job..."),
                                      ("push button", "Start")])
    if not ready:
        return
    ticked = [n.name for n in nodes(app) if n.getRole() == pyatspi.ROLE_LIST_ITEM
              and n.getState().contains(pyatspi.STATE_CHECKED)]
    expect("ports ticked", ticked, ["COM9"])
    press(app, "Start")

    def panel():
        return next((n for n in nodes(app) if n.getRole() == pyatspi.ROLE_PANEL and n.name == "COM9"
                     and n.description.startswith("PASS")), None)
    done = wait_for(panel)
    expect("the COM9 panel after its radio", done and done.description, "PASS: 2026120500000042")
    expect("the button while the station runs", ("push button", "Stop") in controls(app), True)


def main():
    failures = []

    def expect(what, got, wanted):
        if got != wanted:
            failures.append(f"{what}: heard {got!r}, expected {wanted!r}")

    app = wait_for(program)
    if app is None:
        sys.exit("KelvraSet never appeared on the accessibility bus")
    if sys.argv[1:] == ["station"]:
        station(app, expect)
        for failure in failures:
            print("FAIL", failure)
        if failures:
            sys.exit(1)
        print("PASS: the station window's controls are named and reached by Tab; its panel is heard with its state")
        return
    lists = wait_for(lambda: (lambda found: found if len(found) >= 3 else None)(labelled_lists(app)))
    if not lists:
        sys.exit(f"the lists are not labelled by their captions: {sorted(labelled_lists(app))}")
    expect("lists labelled by a caption", sorted(lists), ["Com Port", "Frequency", "Radio Type"])
    expect("model list", lists["Radio Type"].name, "KR350UV")
    expect("port list", lists["Com Port"].name, "COM9")
    band = lists["Frequency"].name
    if band not in items(lists["Frequency"]) or not band:
        failures.append(f"band list: heard {band!r}, not one of its items")

    press(app, "Read")
    heard = wait_for(lambda: lists["Radio Type"].name == "KR350SV") and "KR350SV" or lists["Radio Type"].name
    expect("model list after reading a KR350SV", heard, "KR350SV")

    for failure in failures:
        print("FAIL", failure)
    if failures:
        sys.exit(1)
    print("PASS: each list is named by its item and labelled by its caption; the read's model is heard")


if __name__ == "__main__":
    main()
