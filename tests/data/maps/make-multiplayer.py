#!/usr/bin/env python3
"""Turns a generated map into one that looks like a played multiplayer map.

Real multiplayer maps differ from freshly generated ones: start lines are
stale (the settlers were moved after the starts were set), players share
teams, each team has the plots around its start revealed ("TeamReveal="),
units of many owners stand about (scouts away from home, animals of the
barbarian slot), resources lie everywhere and signs carry owners.

    make-multiplayer.py IN OUT --seed S [--teams-of N] [--stale all|half]
                        [--no-settler SLOT] [--leader-only SLOT]

IN is a map written by `vor4map new ... --players N`; the fixtures in this
folder were made once with it and are kept as files.
"""
import argparse
import random

LEADERS = [
    ("LEADER_CHURCHILL", "NATION_ENGLAND", "PLAYERCOLOR_RED"),
    ("LEADER_ALEXANDER", "NATION_GREECE", "PLAYERCOLOR_BLUE"),
    ("LEADER_RAMESSES", "NATION_EGYPT", "PLAYERCOLOR_YELLOW"),
    ("LEADER_ASOKA", "NATION_INDIA", "PLAYERCOLOR_DARK_GREEN"),
    ("LEADER_BISMARCK", "NATION_GERMANY", "PLAYERCOLOR_CYAN"),
    ("LEADER_CATHERINE", "NATION_RUSSIA", "PLAYERCOLOR_PURPLE"),
    ("LEADER_DE_GAULLE", "NATION_FRANCE", "PLAYERCOLOR_ORANGE"),
    ("LEADER_GANDHI", "NATION_PERSIA", "PLAYERCOLOR_PINK"),
    ("LEADER_HANNIBAL", "NATION_CARTHAGE", "PLAYERCOLOR_WHITE"),
    ("LEADER_ISABELLA", "NATION_SPAIN", "PLAYERCOLOR_GRAY"),
    ("LEADER_JULIUS_CAESAR", "NATION_ROME", "PLAYERCOLOR_DARK_RED"),
    ("LEADER_MAO", "NATION_CHINA", "PLAYERCOLOR_DARK_BLUE"),
    ("LEADER_MONTEZUMA", "NATION_AZTEC", "PLAYERCOLOR_LIGHT_GREEN"),
    ("LEADER_PERICLES", "NATION_MALI", "PLAYERCOLOR_BROWN"),
    ("LEADER_SALADIN", "NATION_ARABIA", "PLAYERCOLOR_GOLD"),
    ("LEADER_TOKUGAWA", "NATION_JAPAN", "PLAYERCOLOR_DARK_PURPLE"),
    ("LEADER_WASHINGTON", "NATION_AMERICA", "PLAYERCOLOR_LIGHT_BLUE"),
    ("LEADER_ZARA_YAQOB", "NATION_ETHIOPIA", "PLAYERCOLOR_DARK_CYAN"),
]
LAND_BONUS = ["BONUS_WHEAT", "BONUS_CORN", "BONUS_COW", "BONUS_PIG", "BONUS_SHEEP", "BONUS_DEER",
              "BONUS_RICE", "BONUS_STONE", "BONUS_MARBLE", "BONUS_GOLD", "BONUS_SILVER", "BONUS_WINE",
              "BONUS_IRON", "BONUS_COPPER", "BONUS_HORSE", "BONUS_DYE", "BONUS_INCENSE"]
SEA_BONUS = ["BONUS_FISH", "BONUS_CLAM", "BONUS_CRAB", "BONUS_WHALE"]
BARBARIAN = 18


def unit(kind, owner, ai):
    return ["BeginUnit", f"UnitType={kind}, UnitOwner={owner}", "Damage=0", "Level=1, Experience=0",
            "FacingDirection=4", f"UnitAIType={ai}", "EndUnit"]


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("inp")
    ap.add_argument("out")
    ap.add_argument("--seed", type=int, required=True)
    ap.add_argument("--teams-of", type=int, default=1)
    ap.add_argument("--stale", choices=["all", "half"], default="all")
    ap.add_argument("--no-settler", type=int, action="append", default=[])
    ap.add_argument("--leader-only", type=int, action="append", default=[])
    a = ap.parse_args()
    rnd = random.Random(a.seed)

    lines = open(a.inp, "rb").read().decode("latin-1").split("\r\n")
    if lines and lines[-1] == "":
        lines.pop()
    head, players, plots, i = [], [], {}, 0
    order = []
    width = height = 0
    wrap_x = wrap_y = False
    while i < len(lines):
        t = lines[i].strip()
        if t == "BeginPlayer":
            j = lines.index("EndPlayer", i)
            players.append([l.strip() for l in lines[i + 1:j]])
            head.append(("player", len(players) - 1))
            i = j + 1
            continue
        if t == "BeginPlot":
            j = lines.index("EndPlot", i)
            body = [l.strip() for l in lines[i + 1:j]]
            x, y = (int(v.split("=")[1]) for v in body[0].split(","))
            plots[(x, y)] = body[1:]
            order.append((x, y))
            i = j + 1
            continue
        if "grid width=" in t:
            width = int(t.split("=")[1])
        if "grid height=" in t:
            height = int(t.split("=")[1])
        if "wrap X=" in t:
            wrap_x = t.split("=")[1] == "1"
        if "wrap Y=" in t:
            wrap_y = t.split("=")[1] == "1"
        head.append(lines[i])
        i += 1

    def wrapped(x, y):
        if wrap_x:
            x %= width
        if wrap_y:
            y %= height
        return (x, y) if 0 <= x < width and 0 <= y < height else None

    def is_land(p):
        return "PlotType=3" not in plots[p]

    # The settlers the generator placed: one per player in use.
    settler_at = {}
    for p in order:
        for l in plots[p]:
            if l.startswith("UnitType=UNIT_SETTLER"):
                settler_at[int(l.split("UnitOwner=")[1])] = p
    count = len(settler_at)
    teams = {s: s // a.teams_of for s in range(count)}

    for s, text in enumerate(players):
        if s >= count and s not in a.leader_only:
            continue
        leader, nation, color = LEADERS[s % len(LEADERS)]
        team = teams.get(s, s)
        new = []
        for l in text:
            k = l.split("=")[0]
            if k == "Team":
                l = f"Team={team}"
            elif k in ("LeaderType", "LeaderName"):
                l = f"{k}={leader}" if k == "LeaderType" else f"LeaderName=TXT_KEY_{leader}"
            elif k == "NationType":
                l = f"NationType={nation}"
            elif k == "Color":
                l = f"Color={color}"
            elif k.startswith("StartingX") and s in a.leader_only:
                continue
            new.append(l)
        players[s] = new

    # Stale start lines: moved 2 to 5 plots off the settler (all, or every
    # other player), on land where there is some near.
    for s, (x, y) in settler_at.items():
        if a.stale == "half" and s % 2:
            continue
        for tries in range(100):
            dx, dy = rnd.randint(-5, 5), rnd.randint(-5, 5)
            q = wrapped(x + dx, y + dy)
            # Mostly on land, as a start set by hand would be.
            if max(abs(dx), abs(dy)) >= 2 and q and (is_land(q) or tries > 60):
                break
        nx, ny = wrapped(x + dx, y + dy)
        players[s] = [f"StartingX={nx}, StartingY={ny}" if l.startswith("StartingX=") else l for l in players[s]]

    # Units at home and a scout or two away; some players without a settler.
    for s, p in settler_at.items():
        body = plots[p]
        k = body.index("BeginUnit")
        if s in a.no_settler:
            del body[k:k + body[k:].index("EndUnit") + 1]
            k = len(body)
        home = unit("UNIT_WARRIOR", s, "UNITAI_CITY_DEFENSE") + unit("UNIT_WORKER", s, "UNITAI_WORKER")
        body[k:k] = home if s % 3 else unit("UNIT_ARCHER", s, "UNITAI_CITY_DEFENSE")
        for n in range(1 + s % 2):
            for _ in range(50):
                q = wrapped(p[0] + rnd.randint(-3, 3), p[1] + rnd.randint(-3, 3))
                if q and q != p and is_land(q):
                    plots[q] += unit("UNIT_SCOUT", s, "UNITAI_EXPLORE")
                    break
    # Animals of the barbarian slot.
    land = [p for p in order if is_land(p)]
    for p in rnd.sample(land, max(3, len(land) // 150)):
        if p not in settler_at.values():
            plots[p] += unit(rnd.choice(["UNIT_WOLF", "UNIT_LION", "UNIT_BEAR"]), BARBARIAN, "UNITAI_ANIMAL")

    # Resources, about one land plot in ten and one coast plot in twenty.
    for p in order:
        body = plots[p]
        if any(l.startswith("BonusType=") for l in body) or any(l == "BeginUnit" for l in body):
            continue
        coast = "TerrainType=TERRAIN_COAST" in body
        if is_land(p) and "PlotType=0" not in body and rnd.random() < 0.1:
            body.insert(0, "BonusType=" + rnd.choice(LAND_BONUS))
        elif coast and rnd.random() < 0.05:
            body.insert(0, "BonusType=" + rnd.choice(SEA_BONUS))

    # What each team has seen: the 5 x 5 plots around its players' settlers.
    seen = {}
    for s, (x, y) in settler_at.items():
        for dx in range(-2, 3):
            for dy in range(-2, 3):
                q = wrapped(x + dx, y + dy)
                if q:
                    seen.setdefault(q, set()).add(teams[s])
    for q, ts in seen.items():
        plots[q].append("TeamReveal=" + "".join(f"{t}," for t in sorted(ts)))

    # Signs: one of nobody's, one of a player's near its settler.
    owner = sorted(settler_at)[1]
    sx, sy = settler_at[owner]
    signs = [["plotX=%d" % settler_at[0][0], "plotY=%d" % settler_at[0][1], "playerType=-1", "caption=Here be dragons"],
             ["plotX=%d" % sx, "plotY=%d" % sy, "playerType=%d" % owner, "caption=Capital"]]

    out = []
    for h in head:
        if isinstance(h, tuple):
            out += ["BeginPlayer"] + ["\t" + l for l in players[h[1]]] + ["EndPlayer"]
        elif "num signs written=" in h:
            out.append(f"\tnum signs written={len(signs)}")
        else:
            out.append(h)
    for p in order:
        out += ["BeginPlot", f"\tx={p[0]},y={p[1]}"]
        depth = 1
        for l in plots[p]:
            if l.lower().startswith("end"):
                depth = 1
            out.append("\t" * depth + l)
            if l.lower().startswith("begin"):
                depth = 2
        out.append("EndPlot")
    out.append("")
    out.append("### Sign Info ###")
    for s in signs:
        out += ["BeginSign"] + ["\t" + l for l in s] + ["EndSign"]
    open(a.out, "wb").write(("\r\n".join(out) + "\r\n").encode("latin-1"))


if __name__ == "__main__":
    main()
