#!/usr/bin/python3
"""A small stand-in for the solver that tools/atspi_play.py drives, for trying
the script out: NUBBLER by a search over the turns of each plate, TORVANE by
a search from both ends. Reads "GAME POSITION" lines, prints "PLACE left|right".
"""

import sys

# TORVANE's plates: the cells under the top-left, top-right, bottom-left and
# bottom-right slot; cell = column * 4 + row.
PLATES = [[0, 4, 1, 5], [8, 12, 9, 13], [5, 9, 6, 10], [2, 6, 3, 7], [10, 14, 11, 15]]
LEFT_FROM, RIGHT_FROM = [1, 3, 0, 2], [2, 0, 3, 1]


def torvane_turn(board, plate, source):
    cells = PLATES[plate]
    out = list(board)
    for s in range(4):
        out[cells[s]] = board[cells[source[s]]]
    return "".join(out)


def torvane(board, target):
    moves = [(p, "left", LEFT_FROM, RIGHT_FROM) for p in range(5)] + [(p, "right", RIGHT_FROM, LEFT_FROM) for p in range(5)]
    ahead, behind = {board: None}, {target: None}
    edge_a, edge_b = [board], [target]
    meet = board if board == target else None
    while meet is None:
        grow, seen, other = (edge_a, ahead, behind) if len(edge_a) <= len(edge_b) else (edge_b, behind, ahead)
        nxt = []
        for state in grow:
            for plate, name, there, back in moves:
                # Behind the target the turns are undone: run the inverse.
                s = torvane_turn(state, plate, there if seen is ahead else back)
                if s not in seen:
                    seen[s] = (state, plate, name)
                    nxt.append(s)
                    if s in other:
                        meet = s
                        break
            if meet:
                break
        if grow is edge_a:
            edge_a = nxt
        else:
            edge_b = nxt
    path, s = [], meet
    while ahead[s]:
        s, plate, name = ahead[s]
        path.append((plate, name))
    path.reverse()
    s = meet
    while behind[s]:
        s, plate, name = behind[s]
        path.append((plate, name))
    return path


def nubbler(groups):
    plates = [[int(c) for c in g] for g in groups]
    turned = [None] * 9

    def at(p, j):
        return plates[p][(j + turned[p]) % 8]  # after turned[p] left turns

    def search(p):
        if p == 9:
            return True
        for k in range(8):
            turned[p] = k
            if (p % 3 == 0 or at(p - 1, 2) == at(p, 6)) and (p < 3 or at(p - 3, 4) == at(p, 0)) and search(p + 1):
                return True
        return False

    if not search(0):
        sys.exit("stand-in: no solution")
    out = []
    for p, k in enumerate(turned):
        out += [(p, "left")] * k if k <= 4 else [(p, "right")] * (8 - k)
    return out


def main():
    for line in sys.stdin:
        words = line.split()
        if not words:
            continue
        if words[0] == "NUBBLER":
            moves = nubbler(words[1:])
        elif words[0] == "TORVANE":
            moves = torvane(words[1], words[2])
        else:
            sys.exit(f"stand-in: cannot solve {words[0]}")
        for place, turn in moves:
            print(place, turn)


if __name__ == "__main__":
    main()
