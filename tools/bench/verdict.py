"""The bench's judging and batching (docs/bench.md), apart from its measuring so that a test can check
them on made-up figures: the order of the starts, paired differences, the median's bootstrap
interval, the limits of each row, when to stop, the memory ratios, the verdict and its exit status."""

import random
import statistics

# Start-up (CPU ms to idle, per stored state): the program over the required work, and the
# required work over the bare dialog. Peak memory: the program over the bare dialog before the
# tooltips are made, over the required work once both have made them.
LIMITS = {"program_ms": 5.0, "yardstick_ms": 7.5, "memory": 1.05, "size_kib": 128}
SHIPS_WITH_WINDOWS = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "comctl32.dll", "msvcrt.dll"}
COULD_NOT_RUN = "could not run"
EXIT_STATUS = {"PASS": 0, "FAIL": 1, "undecided": 2, COULD_NOT_RUN: 3}


def orders(starts, runs, draw, after=None):
    """Each run's order of (exe, ...) starts: every start once, shuffled, never the same exe twice in
    a row, from one run into the next too, and not first after the exe `after`."""
    chosen, last = [], (after,)
    for _ in range(runs):
        while True:
            order = draw.sample(starts, len(starts))
            if all(a[0] != b[0] for a, b in zip([last] + order, order)):
                break
        chosen.append(order)
        last = order[-1]
    return chosen


def paired(mine, yardstick):
    """The difference of the two starts of each run that has both (each a dict by run number),
    mine minus the yardstick's."""
    return [mine[run] - yardstick[run] for run in sorted(mine.keys() & yardstick.keys())]


def median_interval(values, rounds=2000, level=0.95):
    """The median and a bootstrap interval of it at `level`: the medians of `rounds` resamples
    drawn with replacement (a fixed seed: the same figures give the same interval)."""
    draw = random.Random(1)
    medians = sorted(statistics.median(draw.choices(values, k=len(values))) for _ in range(rounds))
    tail = (1 - level) / 2
    return (statistics.median(values), medians[int(tail * rounds)],
            medians[min(rounds - 1, int((1 - tail) * rounds))])


def judge(interval, limit):
    """'PASS' when the whole interval lies at or under the limit, 'FAIL' when it lies over it,
    'undecided' while it holds the limit: the noise could still decide."""
    _, low, high = interval
    return "PASS" if high <= limit else "FAIL" if low > limit else "undecided"


def judged(cpu, states):
    """Per stored state, from each start's processor ms by (exe, state), by run number: the medians
    (bare dialog, required work, program), then the program over the required work and the required
    work over the bare dialog, each as its median's interval and its finding."""
    rows, bare = {}, cpu["dialog", "true"]
    for state in states:
        program, required = cpu["program", state], cpu["required", state]
        intervals = (median_interval(paired(program, required)), median_interval(paired(required, bare)))
        rows[state] = {"medians": [statistics.median(v.values()) for v in (bare, required, program)],
                       "intervals": intervals,
                       "findings": (judge(intervals[0], LIMITS["program_ms"]),
                                    judge(intervals[1], LIMITS["yardstick_ms"]))}
    return rows


def next_batch(rows, starts, runs, budget):
    """The starts for the next `runs` runs, or none: none once no time limit is undecided or one
    has failed, or when they would take more than the `budget` of starts left. Else those of the
    limits still undecided (the program and the required work of its state; the required work and
    the bare dialog), in the order of `starts`, and while one exe holds more than half of them the
    next of `starts` of another exe, so that an order never starting one exe twice in a row exists."""
    if overall([found for row in rows.values() for found in row["findings"]]) != "undecided":
        return []
    needs = {("program", state) for state, row in rows.items() if row["findings"][0] == "undecided"}
    needs |= {("required", state) for state, row in rows.items() if "undecided" in row["findings"]}
    needs |= {("dialog", "true") for row in rows.values() if row["findings"][1] == "undecided"}
    chosen = [start for start in starts if start in needs]
    while chosen:
        exes = [exe for exe, _ in chosen]
        most = max(exes, key=exes.count)
        if 2 * exes.count(most) <= len(chosen):
            break
        chosen.append(next(start for start in starts if start not in chosen and start[0] != most))
    return chosen if runs * len(chosen) <= budget else []


def memory_ratios(starts):
    """From each start's peaks by (exe, state) (KiB, "bare peak" before the tooltips, "peak" with
    them): the program's median over the bare dialog's before the tooltips, over the required
    work's with them, all states together."""
    def peak(exe, field):
        return statistics.median(s[field] for (name, _), runs in starts.items() if name == exe for s in runs)
    return {"bare": peak("program", "bare peak") / peak("dialog", "bare peak"),
            "tooltips": peak("program", "peak") / peak("required", "peak")}


def footprint(ratios, size_kib, dlls):
    """The memory ratios, the exe's size and the DLLs it imports, against their limits."""
    fits = (max(ratios.values()) <= LIMITS["memory"] and size_kib <= LIMITS["size_kib"] and dlls
            and all(dll.lower() in SHIPS_WITH_WINDOWS for dll in dlls))
    return "PASS" if fits else "FAIL"


def overall(findings):
    """One verdict from many: any FAIL fails, else any undecided leaves it undecided."""
    return "FAIL" if "FAIL" in findings else "undecided" if "undecided" in findings else "PASS"


def exit_status(outcome):
    """The bench's exit status for how it ended: a verdict's, else 3 (it could not run: a usage
    error, a tool missing, the display or Wine failing, stopped, or ended by its watchdog)."""
    return EXIT_STATUS.get(outcome, EXIT_STATUS[COULD_NOT_RUN])
