#!/usr/bin/python3
"""Plays the running game through its accessibility tree only, as a screen
reader user's tool would: reads a NUBBLER board from the tree, has the solver
work out the moves, plays them through the places' "Turn left" and "Turn
right" actions until the solved window appears, confirms it and the
high-score window, and does the same for TORVANE. Prints each board's tree.
HELP instead of a game opens the help and reads it as a document: the caret's
line, its links, and a link followed through its "Press" action.

    atspi_play.py SOLVER [GAME ...]    (GAME: NUBBLER TORVANE PELLORA CIRRELA HELP)

SOLVER reads lines "GAME POSITION" (the board's text form as the board's
"Position as text" object describes it) and prints one move per line,
"PLACE left|right", PLACE numbered as the board's children. Needs the system
python3 with pyatspi, an accessibility bus and the game started with
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 (tools/atspi_play.sh sets all that up).
"""

import subprocess
import sys
import time

import pyatspi

APP = "Quirko Gyrelle"
BUTTONS = {  # the puzzle buttons, by their English names (their hints)
    "TORVANE": "A lap TORVANE for me.",
    "PELLORA": "I quickly solve the PELLORA.",
    "NUBBLER": "NUPBLER is, what I like now.",
    "CIRRELA": "CIRRELA waits for me.",
}


def wait_for(what, find, timeout=20.0):
    end = time.time() + timeout
    while time.time() < end:
        try:
            found = find()
        except Exception:  # an object that went away while being read
            found = None
        if found:
            return found
        time.sleep(0.1)
    sys.exit(f"atspi_play: no {what} after {timeout:.0f} s")


def application():
    desktop = pyatspi.Registry.getDesktop(0)
    return next((a for a in desktop if a is not None and a.name == APP), None)


def descendants(node):
    for child in node:
        if child is None:
            continue
        yield child
        yield from descendants(child)


def find(node, predicate):
    return next((d for d in descendants(node) if predicate(d)), None)


def board_of(app):
    return find(app, lambda a: a.name.endswith(" board") or a.name.endswith(" board, solved"))


def code_of(board):
    code = board.getChildAtIndex(board.childCount - 1)
    return code.description


def print_tree(board):
    print(f"{board.getRoleName()} \"{board.name}\": {board.description}")
    for i, child in enumerate(board):
        actions = ""
        if "Action" in pyatspi.listInterfaces(child):
            act = child.queryAction()
            actions = " [" + ", ".join(act.getName(k) for k in range(act.nActions)) + "]"
        extra = f" = {child.description}" if child.description else ""
        print(f"  {i:2d} {child.getRoleName()} \"{child.name}\"{extra}{actions}")


def do_action(acc, name):
    act = acc.queryAction()
    for k in range(act.nActions):
        if act.getName(k) == name:
            act.doAction(k)
            return
    sys.exit(f"atspi_play: \"{acc.name}\" has no action {name}")


def press_ok(app, window_name):
    window = wait_for(f"window \"{window_name}\"", lambda: find(app, lambda a: a.name == window_name
                      and a.getRole() in (pyatspi.ROLE_DIALOG, pyatspi.ROLE_FRAME, pyatspi.ROLE_WINDOW)))
    ok = wait_for("OK button", lambda: find(window, lambda a: a.getRole() == pyatspi.ROLE_PUSH_BUTTON and a.name == "OK"))
    do_action(ok, "Press")
    wait_for(f"\"{window_name}\" to close", lambda: find(app, lambda a: a.name == window_name
             and a.getState().contains(pyatspi.STATE_SHOWING)) is None)


def play(app, game, solver):
    if not board_of(app).name.startswith(game):  # a Toggle of the pressed button would release it
        do_action(wait_for(f"{game} button", lambda: find(app, lambda a: a.name == BUTTONS[game])), "Toggle")
    board = wait_for(f"{game} board", lambda: (lambda b: b if b and b.name.startswith(game) else None)(board_of(app)))
    print_tree(board)
    code = code_of(board)
    solved = subprocess.run([solver], input=code + "\n", capture_output=True, text=True, check=True)
    moves = [line.split() for line in solved.stdout.splitlines() if line.strip()]
    print(f"{game}: {len(moves)} moves from {code}")
    for place, turn in moves:
        before = code_of(board)
        do_action(board.getChildAtIndex(int(place)), "Turn left" if turn == "left" else "Turn right")
        # Each turn is made once the call has returned: wait until it is seen.
        wait_for(f"move {place} {turn}", lambda: code_of(board) != before, timeout=5)
    press_ok(app, "Solved")
    press_ok(app, "Quirko Gyrelle - Highscore")
    print(f"{game}: solved, board now \"{board_of(app).name}\": {board_of(app).description}")


def line_at_caret(text):
    t = text.queryText()
    line, start, _ = t.getTextAtOffset(t.caretOffset, pyatspi.TEXT_BOUNDARY_LINE_START)
    return start, line.strip()


def read_help(app):
    do_action(wait_for("help button", lambda: find(app, lambda a: a.name == "I need help.")), "Press")
    text = wait_for("help text", lambda: find(app, lambda a: a.name == "Help text"
                    and a.getState().contains(pyatspi.STATE_SHOWING)))
    window = text
    while window.parent is not None and window.getRole() not in (pyatspi.ROLE_FRAME, pyatspi.ROLE_WINDOW):
        window = window.parent
    links = [text.getChildAtIndex(i) for i in range(text.childCount)]
    t = text.queryText()
    print(f"{window.getRoleName()} \"{window.name}\" > {text.getRoleName()} \"{text.name}\": "
          f"{t.characterCount} characters, {len(links)} links")
    print(f"  caret at %d: \"%s\"" % line_at_caret(text))
    for i, link in enumerate(links[:8]):
        print(f"  {i:2d} {link.getRoleName()} \"{link.name}\" [{', '.join(link.queryAction().getName(k) for k in range(link.queryAction().nActions))}]")
    if not links or any(link.getRole() != pyatspi.ROLE_LINK for link in links):
        sys.exit("atspi_play: the help's links are not links")
    # Follow the link to the clock's section, as Enter would.
    clock = next((link for link in links if link.name == "The clock"), None) or links[-1]
    before = t.caretOffset
    do_action(clock, "Press")
    wait_for(f"the caret to follow \"{clock.name}\"", lambda: text.queryText().caretOffset != before, timeout=5)
    print(f"  after Press on \"{clock.name}\": caret at %d: \"%s\"" % line_at_caret(text))


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    solver, games = sys.argv[1], sys.argv[2:] or ["NUBBLER", "TORVANE"]
    app = wait_for("game on the accessibility bus", application)
    wait_for("board", lambda: board_of(app))
    # The splash waits for its time as for a click; the game answers no tool
    # behind it, as it answers no mouse.
    wait_for("the splash to close", lambda: find(app, lambda a: a.name == "Splash"
             and a.getState().contains(pyatspi.STATE_SHOWING)) is None)
    for game in games:
        if game == "HELP":
            read_help(app)
        else:
            play(app, game, solver)


if __name__ == "__main__":
    main()
