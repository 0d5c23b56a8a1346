#!/usr/bin/python3
"""Where quorvex puts the legend on a KiCad board, checked by KiCad itself.

kicad_place_check.py QUORVEX WORKDIR CHECK BOARD
  placed   the legend, written without a corner, loads in pcbnew; its box (as
           pcbnew gives it) overlaps the box of no other item; it lies inside
           the drawing sheet, or the run said on standard error that it does
           not fit there; kicad-cli's DRC names no legend item
  update   the legend moved and resized in pcbnew, a footprint, a segment and a
           text put into its group and the group put into another one: a run
           without a corner draws the legend in the moved frame, and keeps the
           added items and both groups
"""
import json
import os
import re
import subprocess
import sys

LEGEND = "Stack-up legend"
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def quorvex(*args):
    run = subprocess.run([QUORVEX, *args], capture_output=True, text=True)
    if run.returncode != 0:
        sys.exit(f"quorvex {' '.join(args)} exited {run.returncode}: {run.stderr}")
    return run


def legend_group(board):
    groups = [g for g in board.Groups() if g.GetName() == LEGEND]
    check(len(groups) == 1, f"{len(groups)} legend groups")
    return groups[0] if groups else None


def legend_drawings(board, group):
    """The group's lines, arcs and texts on its layer: what the legend drew."""
    import pcbnew

    drawings = [i for i in group.GetItems() if i.Type() in (pcbnew.PCB_SHAPE_T, pcbnew.PCB_TEXT_T)]
    layers = [d.GetLayer() for d in drawings]
    layer = max(set(layers), key=layers.count) if layers else None
    return [d for d in drawings if d.GetLayer() == layer]


def union(boxes):
    box = None
    for b in boxes:
        if box is None:
            box = b
        else:
            box.Merge(b)
    return box


def other_items(board, mine):
    """Every item of the board and its box, but the legend's own drawings."""
    items = []
    for fp in board.GetFootprints():
        items.append((f"footprint {fp.GetReference()}", fp.GetBoundingBox(True)))
    for d in board.GetDrawings():
        if d.m_Uuid.AsString() not in mine:
            items.append((f"drawing {d.GetFriendlyName()} on {d.GetLayerName()}", d.GetBoundingBox()))
    for t in board.GetTracks():
        items.append((f"track {t.GetFriendlyName()}", t.GetBoundingBox()))
    for z in board.Zones():
        items.append((f"zone on {z.GetLayerName()}", z.GetBoundingBox()))
    return items


def sheet_box(path):
    """The sheet from the file's (paper ...), in nanometres."""
    import pcbnew

    sizes = {"A5": (210, 148), "A4": (297, 210), "A3": (420, 297), "A2": (594, 420), "A1": (841, 594),
             "A0": (1189, 841), "A": (279.4, 215.9), "B": (431.8, 279.4), "C": (558.8, 431.8),
             "D": (863.6, 558.8), "E": (1117.6, 863.6), "USLetter": (279.4, 215.9),
             "USLegal": (355.6, 215.9), "USLedger": (431.8, 279.4), "GERBER": (812.8, 812.8)}
    with open(path, errors="replace") as f:
        head = f.read(1 << 16)
    m = re.search(r'\(paper\s+"([^"]+)"\s*([\d.]+)?\s*([\d.]+)?\s*(portrait)?', head)
    name = m.group(1) if m else "A4"
    w, h = (float(m.group(2)), float(m.group(3))) if name == "User" and m.group(3) else sizes.get(name, (297, 210))
    if m and m.group(4) and w > h:
        w, h = h, w
    return pcbnew.BOX2I(pcbnew.VECTOR2I(0, 0), pcbnew.VECTOR2I(int(w * 1e6), int(h * 1e6)))


def drc_names_legend(out, mine):
    report = os.path.join(WORK, "drc.json")
    subprocess.run(["kicad-cli", "pcb", "drc", "--format", "json", "--severity-all", "-o", report, out],
                   capture_output=True, text=True, check=True)
    with open(report) as f:
        data = json.load(f)
    named = []
    for kind in ("violations", "unconnected_items", "schematic_parity"):
        for v in data.get(kind, []):
            if any(i.get("uuid") in mine for i in v.get("items", [])):
                named.append(v.get("description", v.get("type")))
    return named


def check_placed(board_path):
    import pcbnew

    out = os.path.join(WORK, "placed.kicad_pcb")
    run = quorvex(board_path, "--setup", "all", "--out", out)
    board = pcbnew.LoadBoard(out)
    group = legend_group(board)
    if group is None:
        return
    drawn = legend_drawings(board, group)
    check(len(drawn) > 20, f"the legend has only {len(drawn)} drawings")
    mine = {d.m_Uuid.AsString() for d in drawn}
    legend = union(d.GetBoundingBox() for d in drawn)
    for name, box in other_items(board, mine):
        check(not legend.Intersects(box), f"the legend {legend.Format()} overlaps {name} {box.Format()}")
    sheet = sheet_box(board_path)
    off = "does not fit on the drawing sheet" in run.stderr
    check(sheet.Contains(legend) or off, f"the legend {legend.Format()} is off the sheet and the run said nothing")
    check(not off or not sheet.Contains(legend), "the run said the legend is off the sheet, but it is on it")
    named = drc_names_legend(out, mine | {group.m_Uuid.AsString()})
    check(not named, f"DRC names the legend: {named[:5]}")
    print(f"legend at {legend.GetX() / 1e6:.1f}, {legend.GetY() / 1e6:.1f} mm, "
          f"{legend.GetWidth() / 1e6:.1f} x {legend.GetHeight() / 1e6:.1f} mm, {'off' if off else 'on'} the sheet")


def check_update(board_path):
    import pcbnew

    first = os.path.join(WORK, "first.kicad_pcb")
    edited = os.path.join(WORK, "edited.kicad_pcb")
    quorvex(board_path, "--out", first)
    board = pcbnew.LoadBoard(first)
    group = legend_group(board)
    if group is None:
        return
    drawn = legend_drawings(board, group)
    frame = union(d.GetBoundingBox() for d in drawn if d.Type() == pcbnew.PCB_SHAPE_T)
    # The designer moves the legend 30 mm right and 20 mm down and makes it
    # half as wide again: every drawing moved, then stretched from the left.
    origin = frame.GetOrigin()
    for d in drawn:
        d.Move(pcbnew.VECTOR2I(pcbnew.FromMM(30), pcbnew.FromMM(20)))
        if d.Type() == pcbnew.PCB_SHAPE_T and d.GetShape() == pcbnew.SHAPE_T_SEGMENT:
            for get, put in ((d.GetStart, d.SetStart), (d.GetEnd, d.SetEnd)):
                p = get()
                put(pcbnew.VECTOR2I(origin.x + pcbnew.FromMM(30) + (p.x - origin.x - pcbnew.FromMM(30)) * 3 // 2,
                                    p.y))
    moved = union(d.GetBoundingBox() for d in drawn
                  if d.Type() == pcbnew.PCB_SHAPE_T and d.GetShape() == pcbnew.SHAPE_T_SEGMENT)
    # A footprint, a segment and a text of the designer's go into the group.
    footprint = pcbnew.FOOTPRINT(board)
    footprint.SetReference("TP99")
    footprint.SetPosition(pcbnew.VECTOR2I(moved.GetRight() + pcbnew.FromMM(40), moved.GetTop()))
    board.Add(footprint)
    segment = pcbnew.PCB_TRACK(board)
    segment.SetStart(pcbnew.VECTOR2I(moved.GetRight() + pcbnew.FromMM(40), moved.GetBottom()))
    segment.SetEnd(pcbnew.VECTOR2I(moved.GetRight() + pcbnew.FromMM(45), moved.GetBottom()))
    segment.SetWidth(pcbnew.FromMM(0.25))
    segment.SetLayer(pcbnew.F_Cu)
    board.Add(segment)
    text = pcbnew.PCB_TEXT(board)
    text.SetText("designer's note")
    text.SetLayer(pcbnew.Cmts_User)
    text.SetPosition(pcbnew.VECTOR2I(moved.GetRight() + pcbnew.FromMM(40), moved.GetCenter().y))
    board.Add(text)
    for item in (footprint, segment, text):
        group.AddItem(item)
    parent = pcbnew.PCB_GROUP(board)
    parent.SetName("Fabrication notes")
    board.Add(parent)
    parent.AddItem(group)
    added = {i.m_Uuid.AsString() for i in (footprint, segment, text)}
    board.Save(edited)

    quorvex(edited, "--in-place")
    board = pcbnew.LoadBoard(edited)
    group = legend_group(board)
    if group is None:
        return
    drawn = legend_drawings(board, group)
    redrawn = union(d.GetBoundingBox() for d in drawn
                    if d.Type() == pcbnew.PCB_SHAPE_T and d.GetShape() == pcbnew.SHAPE_T_SEGMENT)
    tolerance = pcbnew.FromMM(0.2)
    for side in ("GetLeft", "GetRight", "GetTop", "GetBottom"):
        check(abs(getattr(redrawn, side)() - getattr(moved, side)()) <= tolerance,
              f"{side[3:]}: the legend is drawn at {getattr(redrawn, side)() / 1e6} mm, "
              f"the designer's frame at {getattr(moved, side)() / 1e6} mm")
    members = {i.m_Uuid.AsString() for i in group.GetItems()}
    check(added <= members, f"{len(added - members)} of the designer's items left the legend group")
    on_board = {i.m_Uuid.AsString() for i in list(board.GetFootprints()) + list(board.GetTracks()) +
                list(board.GetDrawings())}
    check(added <= on_board, f"{len(added - on_board)} of the designer's items are gone")
    outer = group.GetParentGroup()
    check(outer is not None and outer.GetName() == "Fabrication notes", "the legend group left its parent group")
    with open(edited + "-bak", "rb") as f:
        check(b"Fabrication notes" in f.read(), "the backup is not the edited board")


if __name__ == "__main__":
    QUORVEX, WORK, CHECK, BOARD = sys.argv[1:5]
    os.makedirs(WORK, exist_ok=True)
    os.environ.setdefault("QUORVEX_MACHINE", os.path.join(WORK, "machine"))
    os.makedirs(os.environ["QUORVEX_MACHINE"], exist_ok=True)
    {"placed": check_placed, "update": check_update}[CHECK](BOARD)
    for failure in failures:
        print("FAIL:", failure)
    print(f"{CHECK} {os.path.basename(BOARD)}: {'failed' if failures else 'passed'}")
    sys.exit(1 if failures else 0)
