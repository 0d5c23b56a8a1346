#!/usr/bin/python3
"""KiCad boards through quorvex, checked by KiCad 9 itself (Debian's pcbnew
module and kicad-cli).

kicad_check.py QUORVEX WORKDIR CHECK BOARD
  stack      the stack quorvex reads matches the stack-up pcbnew reads
  roundtrip  the written board loads in pcbnew with exactly the legend added,
             in one group on the legend layer; a second run replaces the group;
             a cancelled run writes the input byte for byte
  drc        kicad-cli's design rules check of the written board names no
             legend item
  large      for a board too big to load more than once: pcbnew loads the
             written board, holding one legend group of the written items
  plot       each text of KiCad's plot of the legend layer lies within 0.05 mm
             of where quorvex --svg draws it, with KiCad's text box (less its
             pen width) as wide within 0.1 mm
  gerbers    the legend's Gerber column names, row by row, the extension of the
             file kicad-cli's Gerber export (classic extensions) writes for that
             copper layer
  crlf       the board with CRLF line breaks: the written board has CRLF line
             breaks only and loads in pcbnew with one legend group
  later      the board as a later KiCad would write it (a format version past
             KiCad 9's, which KiCad 9 cannot load): the written file is the input
             plus one inserted group, and reading it back gives the same stack
             and legend
"""
import json
import math
import os
import re
import subprocess
import sys

LEGEND_LAYER_ID = 59  # Cmts.User as the editor draws it
MM_PER_MIL = 0.0254
UNITS_PER_MM = 1e8 / 254  # board units (1/10000 mil) per millimetre

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


# Every column the parameter string can ask for, so that the legend has many texts.
ALL_COLUMNS = "CopperHeight=True|Type=True|Gerbers=True|DielHeight=True|Material=True|Constant=True"


def quorvex(*args, params=ALL_COLUMNS):
    run = subprocess.run([QUORVEX, *args, "--params", params], capture_output=True, text=True)
    if run.returncode != 0:
        sys.exit(f"quorvex {' '.join(args)} exited {run.returncode}: {run.stderr}")
    return run


def board_json(board, *extra, params=ALL_COLUMNS):
    out = os.path.join(WORK, f"{len(os.listdir(WORK))}.board.json")
    quorvex(board, "--out", out, *extra, params=params)
    with open(out) as f:
        return json.load(f)


def legend_objects(document):
    return [o for o in document["objects"] if o["layer"] == LEGEND_LAYER_ID]


def mm(units):
    return units / UNITS_PER_MM


def stackup_entries(board_path):
    """The (layer ...) entries of the file's stack-up, read with a regular
    expression rather than quorvex's reader: name and each (key value)."""
    with open(board_path) as f:
        text = f.read()
    block = text[text.index("(stackup"):]
    block = block[:block.index("(copper_finish")] if "(copper_finish" in block else block
    entries = []
    for m in re.finditer(r'\(layer "([^"]+)"((?:\s*\((?:[^()]|\([^()]*\))*\)|\s*addsublayer)*)\s*\)', block):
        fields, subs = {}, [{}]
        # Quoted values may hold parentheses: "R-1551(W)".
        for key, quoted, bare, sub in re.findall(r'\((\w+) (?:"((?:[^"\\]|\\.)*)"|([^\s()]*))\)|(addsublayer)',
                                                 m.group(2)):
            if sub:
                subs.append({})
            else:
                subs[-1].setdefault(key, quoted or bare)
        entries.append((m.group(1), subs))
    return entries


def check_stack(board_path):
    import pcbnew

    document = board_json(board_path, "--cancel")
    board = pcbnew.LoadBoard(board_path)
    copper_ids = [i for i in range(pcbnew.PCB_LAYER_ID_COUNT) if pcbnew.IsCopperLayer(i) and board.IsLayerEnabled(i)]
    copper_ids.sort(key=lambda i: 1000 if i == pcbnew.B_Cu else i)
    stack = document["stack"]
    check(len(stack) == len(copper_ids), f"{len(stack)} layers read, KiCad has {len(copper_ids)}")
    for layer, kicad_id in zip(stack, copper_ids):
        # KiCad's own names (user names where given) and layer types.
        check(layer["name"] == board.GetLayerName(kicad_id), f"{layer['name']!r}, KiCad {board.GetLayerName(kicad_id)!r}")
    # Every copper layer in order, power layers too: no internal planes.
    ids = [layer["id"] for layer in stack]
    check(ids == [1] + list(range(2, len(stack))) + [32], f"editor layers {ids}")

    entries = stackup_entries(board_path)
    copper = [subs[0] for name, subs in entries if subs[0].get("type") == "copper"]
    dielectrics = [subs for name, subs in entries if subs[0].get("type") in ("core", "prepreg")]
    masks = {name: subs[0] for name, subs in entries if name in ("F.Mask", "B.Mask")}
    check(len(copper) == len(stack) and len(dielectrics) == len(stack) - 1, "the stack-up does not match the layers")
    for i, layer in enumerate(stack):
        check(abs(mm(layer["copper"]) - float(copper[i]["thickness"])) < 1e-5, f"layer {i} copper {layer['copper']}")
        if i + 1 < len(stack):
            subs = dielectrics[i]
            d = layer["dielectric"]
            check(d["type"] == subs[0]["type"], f"dielectric {i}: {d['type']}, file {subs[0]['type']}")
            check(d["material"] == subs[0].get("material", "FR4"), f"dielectric {i}: {d['material']}")
            check(abs(d["constant"] - float(subs[0].get("epsilon_r", 4.5))) < 1e-9, f"dielectric {i}: {d['constant']}")
            height = sum(float(s.get("thickness", 0)) for s in subs)
            check(abs(mm(d["height"]) - height) < 1e-5, f"dielectric {i}: {d['height']}, file {height} mm")
    for key, name in (("topDielectric", "F.Mask"), ("bottomDielectric", "B.Mask")):
        mask = masks.get(name, {})
        check(document[key]["type"] == "surface", f"{key} type")
        check(document[key]["material"] == mask.get("material", "Solder Resist"), f"{key} material")
        check(abs(document[key]["constant"] - float(mask.get("epsilon_r", 3.3))) < 1e-9, f"{key} constant")
        check(abs(mm(document[key]["height"]) - float(mask.get("thickness", 0.01))) < 1e-5, f"{key} height")


def drawings(board):
    import pcbnew

    items = []
    for d in board.GetDrawings():
        group = d.GetParentGroup()
        if d.Type() == pcbnew.PCB_TEXT_T:
            kind = "text"
        elif d.Type() != pcbnew.PCB_SHAPE_T:
            kind = "other"
        elif d.GetShape() == pcbnew.SHAPE_T_SEGMENT:
            kind = "track"
        elif d.GetShape() == pcbnew.SHAPE_T_ARC:
            kind = "arc"
        else:
            kind = "other"
        items.append((kind, d.GetLayer(), group.GetName() if group else None,
                      group.m_Uuid.AsString() if group else None))
    return items


def check_roundtrip(board_path):
    import pcbnew

    out = os.path.join(WORK, "out.kicad_pcb")
    again = os.path.join(WORK, "again.kicad_pcb")
    cancelled = os.path.join(WORK, "cancelled.kicad_pcb")
    quorvex(board_path, "--out", out)
    legend = legend_objects(board_json(board_path))
    check(len(legend) > 20, f"the legend has only {len(legend)} objects")

    before = drawings(pcbnew.LoadBoard(board_path))
    after = drawings(pcbnew.LoadBoard(out))
    added = list(after)
    for item in before:
        check(item in added, f"{item} is gone from the written board")
        if item in added:
            added.remove(item)
    expected = sorted(o["kind"] for o in legend)
    check(sorted(kind for kind, *_ in added) == expected, "the added items are not the legend's objects")
    check(all(layer == pcbnew.Cmts_User for _, layer, _, _ in added), "an added item is not on Cmts.User")
    groups = {(name, uuid) for _, _, name, uuid in added}
    check(len(groups) == 1 and next(iter(groups))[0] == "Stack-up legend", f"the added items are in {groups}")

    # Arcs as KiCad draws them: centre, radius and the point halfway round,
    # counter-clockwise from the start angle with y up.
    wanted = []
    for o in legend:
        if o["kind"] == "arc":
            sweep = (o["endAngle"] - o["startAngle"]) % 360 or 360
            half = math.radians(o["startAngle"] + sweep / 2)
            cx, cy, r = mm(o["x"]), -mm(o["y"]), mm(o["radius"])
            wanted.append((cx, cy, r, cx + r * math.cos(half), cy - r * math.sin(half)))
    for d in pcbnew.LoadBoard(out).GetDrawings():
        group = d.GetParentGroup()
        if (d.Type() != pcbnew.PCB_SHAPE_T or d.GetShape() != pcbnew.SHAPE_T_ARC or not group
                or group.GetName() != "Stack-up legend"):
            continue
        c, m = d.GetCenter(), d.GetArcMid()
        got = (c.x / 1e6, c.y / 1e6, d.GetRadius() / 1e6, m.x / 1e6, m.y / 1e6)
        match = [w for w in wanted if all(abs(a - b) < 0.005 for a, b in zip(w, got))]
        check(bool(match), f"KiCad's arc {got} is not one of the legend's")
        if match:
            wanted.remove(match[0])
    check(not wanted, f"{len(wanted)} of the legend's arcs are not in KiCad's board")

    quorvex(out, "--out", again)
    twice = drawings(pcbnew.LoadBoard(again))
    check(len(twice) == len(after), f"a second run left {len(twice)} drawings, the first {len(after)}")
    check(len({uuid for _, _, name, uuid in twice if name == "Stack-up legend"}) == 1, "two legend groups")

    quorvex(board_path, "--cancel", "--out", cancelled)
    with open(board_path, "rb") as a, open(cancelled, "rb") as b:
        check(a.read() == b.read(), "a cancelled run changed the file")


def legend_ids(board_text):
    """The ids of the legend group's members in a written board."""
    group = re.search(r'\(group "Stack-up legend"\s.*?\(members([^)]*)\)', board_text, re.S)
    check(group is not None, "the written board holds no legend group")
    return set(re.findall(r'[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}', group.group(1))) if group else set()


def drc_names_no_legend_item(board_path):
    """Runs kicad-cli's design rules check (which loads the board as pcbnew
    does) and checks that no violation names a legend item."""
    report = os.path.join(WORK, "drc.json")
    run = subprocess.run(["kicad-cli", "pcb", "drc", "--format", "json", "--severity-all", "--output", report,
                          board_path], capture_output=True, text=True)
    check(run.returncode == 0 and os.path.exists(report), f"kicad-cli pcb drc failed: {run.stdout}{run.stderr}")
    if not os.path.exists(report):
        return
    with open(board_path) as f:
        ids = legend_ids(f.read())
    with open(report) as f:
        result = json.load(f)
    named = 0
    for violation in result.get("violations", []) + result.get("unconnected_items", []):
        for item in violation.get("items", []):
            if item.get("uuid") in ids:
                named += 1
                check(False, f"DRC names legend item {item.get('description')}: {violation.get('description')}")
    print(f"{len(result.get('violations', []))} violations, {named} naming the legend's {len(ids)} items")


def check_drc(board_path):
    out = os.path.join(WORK, "out.kicad_pcb")
    quorvex(board_path, "--out", out)
    drc_names_no_legend_item(out)


def check_large(board_path):
    import pcbnew

    out = os.path.join(WORK, "out.kicad_pcb")
    quorvex(board_path, "--out", out)
    with open(out) as f:
        ids = legend_ids(f.read())
    board = pcbnew.LoadBoard(out)
    check(board is not None, "KiCad does not load the written board")
    if board is None:
        return
    legends = [g for g in board.Groups() if g.GetName() == "Stack-up legend"]
    check(len(legends) == 1, f"{len(legends)} legend groups")
    if legends:
        members = list(legends[0].GetItems())
        check(len(members) == len(ids) and len(ids) > 20, f"{len(members)} legend items loaded, {len(ids)} written")
        check(all(m.GetLayer() == pcbnew.Cmts_User for m in members), "a legend item is not on Cmts.User")
        check({m.m_Uuid.AsString() for m in members} == ids, "the loaded legend items are not the written ones")


def check_crlf(board_path):
    import pcbnew

    with open(board_path, "rb") as f:
        text = f.read().replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")
    crlf = os.path.join(WORK, "crlf.kicad_pcb")
    with open(crlf, "wb") as f:
        f.write(text)
    out = os.path.join(WORK, "out.kicad_pcb")
    quorvex(crlf, "--out", out)
    with open(out, "rb") as f:
        written = f.read()
    check(len(written) > len(text), "nothing was inserted")
    bare = written.count(b"\n") - written.count(b"\r\n")
    check(bare == 0, f"{bare} bare line feeds")
    board = pcbnew.LoadBoard(out)
    check(board is not None, "KiCad does not load the written board")
    if board is not None:
        legends = [g for g in board.Groups() if g.GetName() == "Stack-up legend"]
        check(len(legends) == 1, f"{len(legends)} legend groups")


def copper_names(board_path):
    """The board's copper layers top to bottom, by their canonical names."""
    with open(board_path) as f:
        head = f.read(200000)
    names = re.findall(r'\(\d+ "((?:F|B|In\d+)\.Cu)"', head)
    return sorted(set(names), key=lambda n: 0 if n == "F.Cu" else 1000 if n == "B.Cu" else int(n[2:-3]))


def check_gerbers(board_path):
    document = board_json(board_path, params="Gerbers=True")
    # The Gerber column's texts, top row first (y points up in the editor).
    column = sorted((o for o in legend_objects(document) if o["kind"] == "text" and o["text"].startswith("(.")),
                    key=lambda o: -o["y"])
    names = copper_names(board_path)
    check(len(column) == len(names), f"{len(column)} Gerber texts for {len(names)} copper layers")
    plots = os.path.join(WORK, "gerbers")
    run = subprocess.run(["kicad-cli", "pcb", "export", "gerbers", "--output", plots, "--layers", ",".join(names),
                          board_path], capture_output=True, text=True)
    check(run.returncode == 0, f"kicad-cli pcb export gerbers failed: {run.stdout}{run.stderr}")
    files = os.listdir(plots) if os.path.isdir(plots) else []
    for text, name in zip(column, names):
        plotted = [f for f in files if f.rsplit(".", 1)[0].endswith("-" + name.replace(".", "_"))]
        check(len(plotted) == 1, f"{name}: plotted as {plotted}")
        if plotted:
            extension = "(." + plotted[0].rsplit(".", 1)[1] + ")"
            check(text["text"].upper() == extension.upper(), f"{name}: the legend says {text['text']}, KiCad wrote {plotted[0]}")
            print(f"{name}: {text['text']} {plotted[0]}")


def quorvex_texts(svg_path):
    texts = []
    with open(svg_path) as f:
        for m in re.finditer(r'<text transform="translate\(([-\d.]+) ([-\d.]+)\)[^>]*textLength="([\d.]+)"[^>]*>([^<]*)</text>',
                             f.read()):
            texts.append((unescape(m.group(4)), float(m.group(1)) * MM_PER_MIL, float(m.group(2)) * MM_PER_MIL,
                          float(m.group(3)) * MM_PER_MIL))
    return texts


def unescape(text):
    return text.replace("&lt;", "<").replace("&gt;", ">").replace("&quot;", '"').replace("&amp;", "&")


def check_plot(board_path):
    import pcbnew

    out = os.path.join(WORK, "plotted.kicad_pcb")
    svg = os.path.join(WORK, "quorvex.svg")
    quorvex(board_path, "--out", out, "--svg", svg)
    ours = quorvex_texts(svg)
    check(len(ours) > 10, f"quorvex drew only {len(ours)} texts")

    board = pcbnew.LoadBoard(out)
    controller = pcbnew.PLOT_CONTROLLER(board)
    options = controller.GetPlotOptions()
    options.SetOutputDirectory(WORK)
    options.SetPlotFrameRef(False)
    options.SetUseAuxOrigin(False)
    options.SetAutoScale(False)
    options.SetScale(1)
    options.SetMirror(False)
    controller.SetLayer(pcbnew.Cmts_User)
    controller.OpenPlotfile("legend", pcbnew.PLOT_FORMAT_SVG, "legend")
    controller.PlotLayer()
    plot_path = controller.GetPlotFileName()
    controller.ClosePlot()
    with open(plot_path) as f:
        svg = f.read()
    # The plot's user units per millimetre: its viewBox width over its width in mm.
    size = re.search(r'width="([\d.]+)mm"[^>]*viewBox="[-\d.]+ [-\d.]+ ([\d.]+)', svg)
    scale = float(size.group(2)) / float(size.group(1))
    plotted = [(unescape(m.group(3)), float(m.group(1)) / scale, float(m.group(2)) / scale)
               for m in re.finditer(r'<text x="([-\d.]+)" y="([-\d.]+)"[^>]*>([^<]*)</text>', svg)]
    check(sorted(t[0] for t in plotted) == sorted(t[0] for t in ours), "KiCad plotted other texts than quorvex drew")
    boxes = {}
    for d in board.GetDrawings():
        if d.Type() == pcbnew.PCB_TEXT_T and d.GetLayer() == pcbnew.Cmts_User:
            # KiCad 9's text box takes in the pen's width, half on each side.
            boxes.setdefault(d.GetText(), []).append((d.GetTextBox(None).GetWidth() - d.GetTextThickness()) / 1e6)
    remaining = list(ours)
    worst = [0.0]
    for text, x, y in plotted:
        near = [o for o in remaining if o[0] == text and abs(o[1] - x) <= 0.05 and abs(o[2] - y) <= 0.05]
        worst[0] = max([worst[0]] + [max(abs(o[1] - x), abs(o[2] - y)) for o in near])
        check(bool(near), f"{text!r} at ({x:.4f}, {y:.4f}) mm in KiCad's plot is not where quorvex draws it")
        if near:
            remaining.remove(near[0])
            check(any(abs(w - near[0][3]) <= 0.1 for w in boxes.get(text, [])),
                  f"{text!r}: KiCad's box is {boxes.get(text)} mm wide, quorvex's {near[0][3]:.4f} mm")
    print(f"{len(plotted)} texts, farthest {worst[0]:.4f} mm from quorvex's")


# KiCad 9 writes format 20241229; a later KiCad writes a later date.
LATER_VERSION = b"20250901"


def check_later(kicad9_board_path):
    with open(kicad9_board_path, "rb") as f:
        text = f.read()
    board_path = os.path.join(WORK, "kicad10.kicad_pcb")
    with open(board_path, "wb") as f:
        f.write(re.sub(rb"\(version \d+\)", b"(version " + LATER_VERSION + b")", text, count=1))
    out = os.path.join(WORK, "later.kicad_pcb")
    quorvex(board_path, "--out", out)
    with open(board_path, "rb") as f:
        original = f.read()
    with open(out, "rb") as f:
        written = f.read()
    prefix = 0
    while prefix < len(original) and original[prefix] == written[prefix]:
        prefix += 1
    suffix = len(original) - prefix
    check(written[len(written) - suffix:] == original[prefix:], "the input changed outside one inserted piece")
    inserted = written[prefix:len(written) - suffix].decode()
    heads = re.findall(r"^\s*\((\w+)", inserted, re.M)
    top = [h for h in heads if h in ("gr_line", "gr_arc", "gr_text", "group")]
    check(top.count("group") == 1, f"the inserted piece holds {top.count('group')} groups")
    check(inserted.count("\n\t(") + inserted.count("\n  (") + 1 >= len(top), "items not on lines of their own")

    first = board_json(board_path)
    back = board_json(out, "--cancel")
    for key in ("stack", "topDielectric", "bottomDielectric", "unit", "fileName"):
        if key != "fileName":
            check(first[key] == back[key], f"{key} differs after reading the written board")
    ours, theirs = legend_objects(first), legend_objects(back)
    check(len(ours) == len(theirs) and len(ours) > 20, f"{len(ours)} legend objects written, {len(theirs)} read back")
    remaining = list(theirs)
    for a in ours:
        match = next((b for b in remaining if same_object(a, b)), None)
        check(match is not None, f"{a} is not among the objects read back")
        if match is not None:
            remaining.remove(match)


FIELDS = ("x", "y", "x1", "y1", "x2", "y2", "radius", "size", "width")


def same_object(a, b):
    # Whole nanometres and back give the same unit; arcs come back through
    # their three points, so their centre and radius may move by a unit or two.
    return (a["kind"] == b["kind"] and a.get("text") == b.get("text")
            and all(abs(a[f] - b.get(f, 1e12)) <= 2 for f in FIELDS if f in a))


if __name__ == "__main__":
    QUORVEX, WORK, CHECK, BOARD = sys.argv[1:5]
    os.makedirs(WORK, exist_ok=True)
    os.environ.setdefault("QUORVEX_MACHINE", os.path.join(WORK, "machine"))
    os.makedirs(os.environ["QUORVEX_MACHINE"], exist_ok=True)
    {"stack": check_stack, "roundtrip": check_roundtrip, "drc": check_drc, "large": check_large,
     "plot": check_plot, "gerbers": check_gerbers, "crlf": check_crlf, "later": check_later}[CHECK](BOARD)
    for failure in failures:
        print("FAIL:", failure)
    print(f"{CHECK} {os.path.basename(BOARD)}: {'failed' if failures else 'passed'}")
    sys.exit(1 if failures else 0)
