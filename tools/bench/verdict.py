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


def orders(starts, runs, draw):
    """Each run's order of (exe, ...) starts: every start once, shuffled, never the same exe twice in
    a row, from one run into the next too."""
    chosen, last = [], (None,)
    for _ in range(runs):
        while True:
            order = draw.sample(starts, len(starts))
            if all(a[0] != b[0] for a, b in zip([last] + order, order)):
                break
        chosen.append(order)
        last = order[-1]
    return chosen


def paired(mine, yardstick):
    """The difference of the two starts of each run, mine minus the yardstick's."""
    return [a - b for a, b in zip(mine, yardstick, strict=True)]


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
    """Per stored state, from each start's processor ms by (exe, state), in run order: the medians
    (bare dialog, required work, program), then the program over the required work and the required
    work over the bare dialog, each as its median's interval and its finding."""
    rows, bare = {}, cpu["dialog", "true"]
    for state in states:
        program, required = cpu["program", state], cpu["required", state]
        intervals = (median_interval(paired(program, required)), median_interval(paired(required, bare)))
        rows[state] = {"medians": [statistics.median(v) for v in (bare, required, program)],
                       "intervals": intervals,
                       "findings": (judge(intervals[0], LIMITS["program_ms"]),
                                    judge(intervals[1], LIMITS["yardstick_ms"]))}
    return rows


def batch_ends(number, runs):
    """Whether the run numbered `number` (0 is the warm-up, not counted) would begin a batch after
    the first: the findings are looked at only there, after each `runs` counted runs."""
    return number > 1 and (number - 1) % runs == 0


def more_runs(rows):
    """Another batch is worth running while a time limit is undecided and none has failed."""
    return overall([found for row in rows.values() for found in row["findings"]]) == "undecided"


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
