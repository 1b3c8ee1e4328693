#!/usr/bin/env python3
"""Compares two pictures of the pedal's face pixel for pixel, colour channels
only: a screenshot of the editor as a host shows it and the face the same
code renders headlessly into its back buffer.

    compare_faces.py SHOT.png REFERENCE.png"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "window"))
from check_screenshot import read_png  # noqa: E402  (the tree's one PNG reader)


def main():
    shot, reference = sys.argv[1], sys.argv[2]
    w1, h1, p1 = read_png(shot)
    w2, h2, p2 = read_png(reference)
    if (w1, h1) != (w2, h2):
        print("compare_faces: %s is %dx%d, %s is %dx%d" % (shot, w1, h1, reference, w2, h2))
        return 1
    wrong = [(x, y) for y in range(h1) for x in range(w1) if p1(x, y) != p2(x, y)]
    if wrong:
        x, y = wrong[0]
        print("compare_faces: %d of %d pixels differ; first at (%d, %d): %s, expected %s"
              % (len(wrong), w1 * h1, x, y, p1(x, y), p2(x, y)))
        return 1
    print("compare_faces: %s equals %s (%dx%d)" % (shot, reference, w1, h1))
    return 0


if __name__ == "__main__":
    sys.exit(main())
