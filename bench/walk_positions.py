#!/usr/bin/env python3
"""Prints COUNT positions, one a line, each a random walk of MIN..MAX moves from
the goal (never undoing the last move), so at most that many moves from it:
the batches of the throughput benchmark. Seeded: the same arguments give the
same lines."""
import random
import sys


def main():
    count = int(sys.argv[1]) if len(sys.argv) > 1 else 1000
    low = int(sys.argv[2]) if len(sys.argv) > 2 else 10
    high = int(sys.argv[3]) if len(sys.argv) > 3 else 30
    seed = int(sys.argv[4]) if len(sys.argv) > 4 else 1
    rng = random.Random(seed)
    out = sys.stdout
    for _ in range(count):
        board = list(range(1, 16)) + [0]
        blank = 15
        previous = -1
        for _ in range(rng.randint(low, high)):
            row, column = divmod(blank, 4)
            steps = []
            if row > 0:
                steps.append(blank - 4)
            if row < 3:
                steps.append(blank + 4)
            if column > 0:
                steps.append(blank - 1)
            if column < 3:
                steps.append(blank + 1)
            steps = [s for s in steps if s != previous]
            target = rng.choice(steps)
            board[blank], board[target] = board[target], 0
            previous, blank = blank, target
        out.write(" ".join(map(str, board)) + "\n")


if __name__ == "__main__":
    main()
