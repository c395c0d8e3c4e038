#!/usr/bin/env python3
"""Mutation figure for the game's folders: how many small faults put into the
code one at a time are caught by the tests of their own folder.

For each folder group a random sample of mutants is drawn with a seed fixed
before the run: a line with logic is picked from the group's .cpp files, and
one change is made on it (a comparison turned, a condition negated, && and
|| swapped, + and - swapped, a number moved by one, true and false swapped,
an early return dropped). Each mutant is built in a scratch build directory
of its own (build-mutants: its group's test programs and the game, which
the end-to-end tests run), the test programs are run, and it counts as
caught when one of them fails (or hangs past the time limit).

A mutant whose compiled code is byte for byte the original's (the objects
that hold its file, debug information aside) changes nothing any test could
see: it is set aside as "same code" before its tests run, listed in the
report, and left out of the figure; a spare takes its place, as for one that
does not build.

The mutated file is written in place for its build only: the original is
kept under the scratch build directory first (with a note of which file it
is) and written back as soon as the mutant's tests have run, also when the
run is stopped (SIGINT, SIGTERM); a run that finds the note of a stopped
one puts that original back before anything else. Nothing else may build
from the tree while a run goes on.

    tools/mutate/mutate.py --seed 5721 [--per-group 10] [--build build-mutants]
                           [--group monster-boss] [--jobs 4] [--shards 4] [--list]
    tools/mutate/mutate.py --mutant boss/boss_champion.cpp:22:23=>24
    tools/mutate/mutate.py --seed 88 --group actor-stage-fx-app --only stage/ --list

--list prints the drawn mutants without building; --only narrows a scratch
draw to files under a path (never the figure's draw); --mutant runs one given
change (file:line:old=>new, the first occurrence of old on that line). The
report (one line per mutant, then caught/total per group) is printed and,
with --report FILE, written there too.
"""

import argparse
import json
import os
import random
import re
import signal
import shutil
import subprocess
import sys
import time

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))

GROUPS = {
    "monster-boss": (["monster", "boss"], ["monster_tests", "boss_tests"]),
    "ui-devmenu": (["ui", "devmenu"], ["ui_tests", "devmenu_tests"]),
    "actor-stage-fx-app": (["actor", "stage", "fx", "app"], ["actor_tests", "stage_tests", "fx_tests", "app_tests"]),
    "event": (["event"], ["event_tests"]),
}
# The groups a seeded run draws from unless --group names others.
DRAWN_GROUPS = ["monster-boss", "ui-devmenu", "actor-stage-fx-app"]

# Each operator: a pattern and what a match becomes. Patterns are tried on
# the line's code with its comments, strings and character literals blanked;
# binary operators stand between spaces in this code's style, which keeps
# template brackets, pointers and unary signs out.
OPERATORS = [
    ("<=", r" <= ", " < "),
    (">=", r" >= ", " > "),
    ("<", r" < ", " <= "),
    (">", r" > ", " >= "),
    ("==", r" == ", " != "),
    ("!=", r" != ", " == "),
    ("&&", r" && ", " || "),
    ("||", r" \|\| ", " && "),
    ("+", r" \+ ", " - "),
    ("-", r" - ", " + "),
    ("+=", r" \+= ", " -= "),
    ("-=", r" -= ", " += "),
    ("!", r"(?<![\w)\]])!(?=[\w(])", ""),  # a negation dropped
    ("true", r"\btrue\b", "false"),
    ("false", r"\bfalse\b", "true"),
    ("int", r"(?<![\w.])\d+(?![\w.])", None),  # an integer moved by one
    ("if", r"\bif \(", None),  # the condition negated
    ("return;", r"^\s*return;\s*$", None),  # an early return dropped
]

SKIP_LINE = re.compile(r"^\s*(#|//|/\*|\*|using\b|namespace\b|template\b|static_assert\b|$)")


def blank_literals(line):
    """The line with comments cut and strings and chars blanked (same length)."""
    out = []
    i = 0
    quote = None
    while i < len(line):
        c = line[i]
        if quote:
            if c == "\\":
                out.append("  ")
                i += 2
                continue
            out.append(" " if c != quote else c)
            if c == quote:
                quote = None
        elif c in "\"'":
            quote = c
            out.append(c)
        elif line.startswith("//", i):
            break
        else:
            out.append(c)
        i += 1
    return "".join(out)


def sites(path):
    """Every (line number, operator, column, old text, new text) in a file."""
    found = []
    with open(path, encoding="utf-8") as f:
        lines = f.read().split("\n")
    in_block = False
    for number, line in enumerate(lines, 1):
        if in_block:
            in_block = "*/" not in line
            continue
        if line.lstrip().startswith("/*") and "*/" not in line:
            in_block = True
            continue
        if SKIP_LINE.match(line):
            continue
        code = blank_literals(line)
        if re.match(r"^\s*(public|private|protected|default)\s*:\s*$", code):
            continue
        for name, pattern, replacement in OPERATORS:
            for m in re.finditer(pattern, code):
                start, end = m.start(), m.end()
                old = line[start:end]
                if name == "int":
                    if re.search(r"\[\s*$", code[:start]) and re.match(r"\s*\]", code[end:]):
                        continue  # array bounds
                    new = str(int(old) + 1)
                elif name == "if":
                    close = matching_paren(code, end - 1)
                    if close is None:
                        continue
                    old = line[start:close + 1]
                    new = "if (!(" + line[end:close] + "))"
                elif name == "return;":
                    old, new, start = line, line.replace("return;", ";", 1), 0
                else:
                    new = replacement
                found.append((number, name, start, old, new))
    return found, lines


def matching_paren(code, open_at):
    depth = 0
    for j in range(open_at, len(code)):
        if code[j] == "(":
            depth += 1
        elif code[j] == ")":
            depth -= 1
            if depth == 0:
                return j
    return None


def group_files(folders):
    files = []
    for folder in folders:
        base = os.path.join(ROOT, folder)
        for dirpath, _, names in os.walk(base):
            for name in sorted(names):
                if name.endswith(".cpp"):
                    files.append(os.path.relpath(os.path.join(dirpath, name), ROOT))
    return sorted(files)


def draw(rng, files, count):
    """`count` mutants: a line with logic at random over the group's lines,
    then one of its changes at random."""
    pool = []
    for rel in files:
        found, lines = sites(os.path.join(ROOT, rel))
        by_line = {}
        for site in found:
            by_line.setdefault(site[0], []).append(site)
        for number in sorted(by_line):
            pool.append((rel, number, by_line[number], lines[number - 1]))
    chosen = []
    for rel, number, options, text in rng.sample(pool, min(count, len(pool))):
        site = rng.choice(options)
        chosen.append(make_mutant(rel, number, text, site))
    return chosen, len(pool)


def make_mutant(rel, number, text, site):
    _, name, start, old, new = site
    if name == "return;":
        mutated = new
    else:
        mutated = text[:start] + new + text[start + len(old):]
    return {"file": rel, "line": number, "operator": name, "old": text.strip(), "new": mutated.strip(),
            "text": mutated}


def given_mutant(spec):
    m = re.match(r"^(.+?):(\d+):(.*)=>(.*)$", spec)
    if not m:
        sys.exit("--mutant wants file:line:old=>new")
    rel, number, old, new = m.group(1), int(m.group(2)), m.group(3), m.group(4)
    with open(os.path.join(ROOT, rel), encoding="utf-8") as f:
        text = f.read().split("\n")[number - 1]
    if old not in text:
        sys.exit(f"{rel}:{number} has no '{old}': {text.strip()}")
    mutated = text.replace(old, new, 1)
    return {"file": rel, "line": number, "operator": "given", "old": text.strip(), "new": mutated.strip(),
            "text": mutated}


def run(cmd, cwd=None, timeout=None, quiet=True):
    try:
        p = subprocess.run(cmd, cwd=cwd, timeout=timeout, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                           text=True, errors="replace")
        return p.returncode, p.stdout
    except subprocess.TimeoutExpired as e:
        return "timeout", (e.stdout or "") if isinstance(e.stdout, str) else ""


class Build:
    def __init__(self, directory, jobs):
        self.dir = os.path.abspath(directory)
        self.jobs = jobs
        self.scratch = os.path.join(self.dir, "mutants")
        os.makedirs(self.scratch, exist_ok=True)
        self.commands = None

    def configure(self):
        env_cc = ["-DCMAKE_C_COMPILER_LAUNCHER=ccache", "-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"]
        # Every mutant relinks its group's programs: lld links them in a
        # fraction of the default linker's time.
        linker = ["-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld"] if shutil.which("ld.lld") else []
        code, out = run(["cmake", "-S", ROOT, "-B", self.dir, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=RelWithDebInfo",
                         "-DCMAKE_EXPORT_COMPILE_COMMANDS=ON"] + env_cc + linker)
        if code != 0:
            sys.exit(out)
        with open(os.path.join(self.dir, "compile_commands.json")) as f:
            self.commands = json.load(f)

    def build(self, targets):
        return run(["cmake", "--build", self.dir, "-j", str(self.jobs), "--target"] + targets)

    def note(self):
        return os.path.join(self.scratch, "original.json")

    def restore_stopped_run(self):
        """Puts back the original a stopped run left mutated."""
        if os.path.exists(self.note()):
            with open(self.note()) as f:
                kept = json.load(f)
            with open(os.path.join(ROOT, kept["file"]), "w", encoding="utf-8") as f:
                f.write(kept["text"])
            os.remove(self.note())
            print(f"# put back {kept['file']} from a stopped run", flush=True)

    def mutate(self, mutant):
        path = os.path.join(ROOT, mutant["file"])
        with open(path, encoding="utf-8") as f:
            original = f.read()
        with open(self.note(), "w") as f:
            json.dump({"file": mutant["file"], "text": original}, f)
        lines = original.split("\n")
        lines[mutant["line"] - 1] = mutant["text"]
        with open(path, "w", encoding="utf-8") as f:
            f.write("\n".join(lines))
        return original

    def restore(self, mutant, original):
        with open(os.path.join(ROOT, mutant["file"]), "w", encoding="utf-8") as f:
            f.write(original)
        os.remove(self.note())


def objects_of(build, rel):
    """The object files that hold a source: its own, or the unity batches
    that include it."""
    path = os.path.join(ROOT, rel)
    found = []
    for entry in build.commands:
        source = entry["file"]
        holds = source == path
        if not holds and "/Unity/" in source and os.path.exists(source):
            with open(source, encoding="utf-8", errors="replace") as f:
                holds = f'#include "{path}"' in f.read()
        if holds:
            m = re.search(r"(?:^|\s)-o\s+(\S+)", entry["command"])
            if m:
                found.append(os.path.join(entry["directory"], m.group(1)))
    return found


def code_of(objects, scratch):
    """The objects' code and data with their debug sections stripped (a
    changed line's columns move in the line table only), or None where an
    object is missing."""
    out = []
    for index, obj in enumerate(objects):
        if not os.path.exists(obj):
            return None
        stripped = os.path.join(scratch, f"stripped{index}.o")
        code, _ = run(["objcopy", "--strip-debug", obj, stripped])
        if code != 0:
            return None
        with open(stripped, "rb") as f:
            out.append(f.read())
        os.remove(stripped)
    return out


def test_programs(build, programs):
    return [os.path.join(build.dir, "tests", p) for p in programs]


def failed_test(log):
    log.seek(0)
    failed = re.findall(r"\[  FAILED  \] (\S+)", log.read())
    return failed[0] if failed else None


def fails_alone(program, name, cwd, limit):
    code, _ = run([program, "--gtest_filter=" + name], cwd=cwd, timeout=limit)
    return code != 0


def listed_tests(program, cwd):
    """The program's test names (Suite.Name), in its own order."""
    code, out = run([program, "--gtest_list_tests"], cwd=cwd, timeout=120)
    if code != 0:
        sys.exit(f"{program} does not list its tests:\n{out[-2000:]}")
    names = []
    suite = None
    for line in out.split("\n"):
        if not line.strip():
            continue
        if not line.startswith(" "):
            suite = line.split("#")[0].strip()
        elif suite is not None:
            names.append(suite + line.split("#")[0].strip())
    return names


def run_tests(build, programs, limit, shards):
    """True when a test program fails (or outlasts `limit` seconds). Each
    program runs in `shards` processes side by side, each given its own
    fixed share of the program's tests by name and stopping at its first
    failure. A failure is taken only when the test fails again alone (tests
    that start displays or games may trip over each other's shards); one
    that passes alone is left out of its shard's next start. The shares are
    named, not left to the test framework's sharding: that shards what a
    filter leaves, so leaving one test out would move the others between
    shards and some would run in none."""
    cwd = os.path.join(build.dir, "tests")
    for program in test_programs(build, programs):
        started = time.time()
        names = listed_tests(program, cwd)
        shares = [names[i::shards] for i in range(shards)]

        def start(index, skipped):
            log = open(os.path.join(build.scratch, f"shard{index}.txt"), "w+")
            share = [n for n in shares[index] if n not in skipped]
            if not share:
                log.close()
                return None, None
            args = [program, "--gtest_fail_fast", "--gtest_brief=1", "--gtest_filter=" + ":".join(share)]
            return subprocess.Popen(args, cwd=cwd, stdout=log, stderr=subprocess.STDOUT,
                                    start_new_session=True), log

        skipped = [[] for _ in range(shards)]
        running = [start(i, []) for i in range(shards)]
        verdict = None
        while verdict is None and any(p is not None for p, _ in running):
            for index, (p, log) in enumerate(running):
                if p is None or p.poll() is None:
                    continue
                if p.returncode == 0:
                    log.close()
                    running[index] = (None, None)
                    continue
                name = failed_test(log)
                log.close()
                if name is None or fails_alone(program, name, cwd, limit) or len(skipped[index]) >= 5:
                    verdict = f"{os.path.basename(program)}: " + (name or f"exit {p.returncode}")
                    running[index] = (None, None)
                    break
                skipped[index].append(name)
                running[index] = start(index, skipped[index])
            if verdict is None and time.time() - started > limit:
                verdict = f"{os.path.basename(program)}: past {limit} s"
            time.sleep(0.2)
        for p, log in running:
            if p is not None:
                if p.poll() is None:
                    os.killpg(p.pid, 9)  # the shard's own process group
                    p.wait()
                log.close()
        if verdict is not None:
            return True, verdict
    return False, ""


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--seed", type=int, default=None)
    parser.add_argument("--per-group", type=int, default=12)
    parser.add_argument("--group", action="append", choices=sorted(GROUPS))
    parser.add_argument("--build", default=os.path.join(ROOT, "build-mutants"))
    parser.add_argument("--jobs", type=int, default=4)
    parser.add_argument("--limit", type=int, default=900, help="seconds a test program may run")
    parser.add_argument("--shards", type=int, default=4, help="processes per test program")
    parser.add_argument("--spares", type=int, default=10, help="mutants drawn beyond --per-group")
    parser.add_argument("--list", action="store_true")
    parser.add_argument("--mutant", action="append", default=[])
    parser.add_argument("--report")
    parser.add_argument("--only", action="append", default=[],
                        help="draw only from files under this path (a scratch look at one folder; repeatable)")
    options = parser.parse_args()
    if options.seed is None and not options.mutant:
        sys.exit("a seed is needed (--seed), fixed before the run")

    plan = []
    if options.mutant:
        for spec in options.mutant:
            mutant = given_mutant(spec)
            group = next(g for g, (folders, _) in GROUPS.items() if mutant["file"].split("/")[0] in folders)
            plan.append((group, mutant))
    else:
        rng = random.Random(options.seed)
        for group in options.group or DRAWN_GROUPS:
            folders, _ = GROUPS[group]
            # Spares stand in, in their drawn order, for mutants that do not compile.
            files = group_files(folders)
            if options.only:
                files = [f for f in files if any(f.startswith(prefix) for prefix in options.only)]
            chosen, lines = draw(rng, files, options.per_group + options.spares)
            print(f"# {group}: {len(chosen)} mutants of {lines} lines with logic", flush=True)
            plan.extend((group, m) for m in chosen)
    if options.list:
        for group, m in plan:
            print(f"{group} {m['file']}:{m['line']} [{m['operator']}] {m['old']}  =>  {m['new']}")
        return

    build = Build(options.build, options.jobs)
    build.restore_stopped_run()
    # A stop ends through the restoring `finally` of the mutant in hand.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("stopped"))
    build.configure()
    report = []
    groups_seen = []
    for group, _ in plan:
        if group not in groups_seen:
            groups_seen.append(group)
    for group in groups_seen:
        programs = GROUPS[group][1]
        code, out = build.build(programs + ["game", "sample-data"])
        if code != 0:
            sys.exit(f"the unmutated build fails:\n{out[-3000:]}")
        failed, why = run_tests(build, programs, options.limit, options.shards)
        if failed:
            sys.exit(f"the unmutated tests fail ({why}): no figure can be taken")
    # The original code of every drawn mutant's objects, taken while the
    # whole build is unmutated.
    original_code = {}
    for _, mutant in plan:
        if mutant["file"] not in original_code:
            objects = objects_of(build, mutant["file"])
            original_code[mutant["file"]] = (objects, code_of(objects, build.scratch) if objects else None)
    tally = {g: [0, 0, 0, 0] for g in groups_seen}  # caught, survived, did not build, same code
    for group, mutant in plan:
        programs = GROUPS[group][1]
        if not options.mutant and tally[group][0] + tally[group][1] >= options.per_group:
            continue  # enough built mutants: the spares stay unused
        where = f"{mutant['file']}:{mutant['line']}"
        started = time.time()
        outcome = ""
        original = build.mutate(mutant)
        try:
            code, out = build.build(programs + ["game"])
            objects, before = original_code[mutant["file"]]
            if code != 0:
                outcome = "did not build"
                tally[group][2] += 1
            elif before is not None and code_of(objects, build.scratch) == before:
                outcome = "same code (set aside)"
                tally[group][3] += 1
            else:
                caught, why = run_tests(build, programs, options.limit, options.shards)
                outcome = ("caught by " + why) if caught else "SURVIVED"
                tally[group][0 if caught else 1] += 1
        finally:
            build.restore(mutant, original)
        line = (f"{group} {where} [{mutant['operator']}] {mutant['old']}  =>  {mutant['new']}  : {outcome}"
                f" ({time.time() - started:.0f} s)")
        print(line, flush=True)
        report.append(line)
    # Leave the scratch build as the source is.
    build.build(sorted({p for g in groups_seen for p in GROUPS[g][1]}) + ["game"])
    summary = []
    for group in groups_seen:
        caught, survived, unbuilt, same = tally[group]
        total = caught + survived
        share = 100.0 * caught / total if total else 0.0
        summary.append(f"{group}: {caught}/{total} caught ({share:.0f}%), {unbuilt} did not build,"
                       f" {same} compiled to the same code")
    print("\n".join(["seed " + str(options.seed)] + summary))
    if options.report:
        with open(options.report, "w") as f:
            f.write("\n".join([f"seed {options.seed}"] + report + summary) + "\n")


if __name__ == "__main__":
    main()
