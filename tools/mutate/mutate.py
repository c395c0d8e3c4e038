#!/usr/bin/env python3
"""Mutation figure for the game's folders: how many small faults put into the
code one at a time are caught by the tests of their own folder.

For each folder group a random sample of mutants is drawn with a seed fixed
before the run: a line with logic is picked from the group's .cpp files, and
one change is made on it (a comparison turned, a condition negated, && and
|| swapped, + and - swapped, a number moved by one, true and false swapped,
an early return dropped). Each mutant is compiled into its own scratch build
directory, its group's test programs and the game (which the end-to-end
tests run) are linked and the test programs run, and it counts as
caught when one of them fails (or hangs past the time limit).

The source tree is never written: the mutated file is a copy under the
scratch build directory, compiled with the object's own command line in
place of the original (through a copy of the unity batch that includes it,
when the file is built in one); the mutated object is deleted afterwards, so
the next build of the scratch directory compiles the original again.

    tools/mutate/mutate.py --seed 5721 [--per-group 12] [--build build-mutants]
                           [--group monster-boss] [--jobs 4] [--list]
    tools/mutate/mutate.py --mutant boss/boss_champion.cpp:22:23=>24

--list prints the drawn mutants without building; --mutant runs one given
change (file:line:old=>new, the first occurrence of old on that line). The
report (one line per mutant, then caught/total per group) is printed and,
with --report FILE, written there too.
"""

import argparse
import json
import os
import random
import re
import shlex
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

    def objects_of(self, rel):
        """(command entry, unity file or None) for each object that compiles `rel`."""
        path = os.path.join(ROOT, rel)
        found = []
        for entry in self.commands:
            source = entry["file"]
            if os.path.normpath(source) == path:
                found.append((entry, None))
            elif "/Unity/" in source and source.endswith(".cxx"):
                try:
                    with open(source) as f:
                        body = f.read()
                except OSError:
                    continue
                if f'"{path}"' in body:
                    found.append((entry, body))
        return found

    def compile_mutant(self, mutant, entry, unity_body):
        path = os.path.join(ROOT, mutant["file"])
        with open(path, encoding="utf-8") as f:
            lines = f.read().split("\n")
        lines[mutant["line"] - 1] = mutant["text"]
        copy = os.path.join(self.scratch, mutant["file"].replace("/", "_"))
        with open(copy, "w", encoding="utf-8") as f:
            # The copy compiles as the original: its includes and its name.
            f.write(f'#line 1 "{path}"\n' + "\n".join(lines))
        source = copy
        if unity_body is not None:
            source = os.path.join(self.scratch, os.path.basename(entry["file"]))
            with open(source, "w") as f:
                f.write(unity_body.replace(f'"{path}"', f'"{copy}"'))
        args = shlex.split(entry["command"])
        args = [source if a == entry["file"] else a for a in args]
        # The original's own directory first, for its quoted includes.
        args.insert(1, "-iquote" + os.path.dirname(path))
        code, out = run(args, cwd=entry["directory"])
        return code == 0, out, output_of(args, entry["directory"])


def output_of(args, directory):
    for i, a in enumerate(args):
        if a == "-o":
            return os.path.join(directory, args[i + 1])
    return None


def test_programs(build, programs):
    return [os.path.join(build.dir, "tests", p) for p in programs]


def run_tests(build, programs, limit, shards):
    """True when a test program fails (or outlasts `limit` seconds). Each
    program runs in `shards` processes side by side (the test framework's
    own sharding), each stopping at its first failure; the first failure
    stops the others."""
    for program in test_programs(build, programs):
        started = time.time()
        running = []
        for index in range(shards):
            env = dict(os.environ, GTEST_TOTAL_SHARDS=str(shards), GTEST_SHARD_INDEX=str(index))
            log = open(os.path.join(build.scratch, f"shard{index}.txt"), "w+")
            running.append((subprocess.Popen([program, "--gtest_fail_fast", "--gtest_brief=1"], env=env,
                                             cwd=os.path.join(build.dir, "tests"), stdout=log,
                                             stderr=subprocess.STDOUT, start_new_session=True), log))
        verdict = None
        while verdict is None and any(p.poll() is None for p, _ in running):
            for p, log in running:
                if p.poll() not in (None, 0):
                    log.seek(0)
                    failed = re.findall(r"\[  FAILED  \] (\S+)", log.read())
                    verdict = f"{os.path.basename(program)}: " + (failed[0] if failed else f"exit {p.returncode}")
                    break
            if verdict is None and time.time() - started > limit:
                verdict = f"{os.path.basename(program)}: past {limit} s"
            time.sleep(0.2)
        if verdict is None:
            for p, log in running:
                if p.returncode != 0:
                    log.seek(0)
                    failed = re.findall(r"\[  FAILED  \] (\S+)", log.read())
                    verdict = f"{os.path.basename(program)}: " + (failed[0] if failed else f"exit {p.returncode}")
                    break
        for p, log in running:
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
    parser.add_argument("--spares", type=int, default=4, help="mutants drawn beyond --per-group")
    parser.add_argument("--list", action="store_true")
    parser.add_argument("--mutant", action="append", default=[])
    parser.add_argument("--report")
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
            chosen, lines = draw(rng, group_files(folders), options.per_group + options.spares)
            print(f"# {group}: {len(chosen)} mutants of {lines} lines with logic", flush=True)
            plan.extend((group, m) for m in chosen)
    if options.list:
        for group, m in plan:
            print(f"{group} {m['file']}:{m['line']} [{m['operator']}] {m['old']}  =>  {m['new']}")
        return

    build = Build(options.build, options.jobs)
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
    tally = {g: [0, 0, 0] for g in groups_seen}  # caught, survived, did not build
    for group, mutant in plan:
        programs = GROUPS[group][1]
        if not options.mutant and tally[group][0] + tally[group][1] >= options.per_group:
            continue  # enough built mutants: the spares stay unused
        where = f"{mutant['file']}:{mutant['line']}"
        started = time.time()
        objects = build.objects_of(mutant["file"])
        outcome = ""
        produced = []
        try:
            built = bool(objects)
            for entry, unity in objects:
                ok, out, obj = build.compile_mutant(mutant, entry, unity)
                if obj:
                    produced.append(obj)
                if not ok:
                    built = False
                    break
            if built:
                code, out = build.build(programs + ["game"])
                built = code == 0
            if not built:
                outcome = "did not build"
                tally[group][2] += 1
            else:
                caught, why = run_tests(build, programs, options.limit, options.shards)
                outcome = ("caught by " + why) if caught else "SURVIVED"
                tally[group][0 if caught else 1] += 1
        finally:
            # The mutated objects go; the next build compiles the originals.
            for obj in produced:
                if os.path.exists(obj):
                    os.remove(obj)
        line = (f"{group} {where} [{mutant['operator']}] {mutant['old']}  =>  {mutant['new']}  : {outcome}"
                f" ({time.time() - started:.0f} s)")
        print(line, flush=True)
        report.append(line)
    # Leave the scratch build as the source is.
    build.build(sorted({p for g in groups_seen for p in GROUPS[g][1]}) + ["game"])
    summary = []
    for group in groups_seen:
        caught, survived, unbuilt = tally[group]
        total = caught + survived
        share = 100.0 * caught / total if total else 0.0
        summary.append(f"{group}: {caught}/{total} caught ({share:.0f}%), {unbuilt} did not build")
    print("\n".join(["seed " + str(options.seed)] + summary))
    if options.report:
        with open(options.report, "w") as f:
            f.write("\n".join([f"seed {options.seed}"] + report + summary) + "\n")


if __name__ == "__main__":
    main()
