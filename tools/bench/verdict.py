"""The bench's arithmetic (docs/bench.md), apart from its measuring so that a test can check it on
made-up figures: the order of the starts, paired differences, the median's bootstrap interval, the
limits and the verdict."""

import random
import statistics

# Start-up (CPU ms to idle, per stored state): the program over the required work, and the
# required work over the bare dialog. Peak memory: the program over the bare dialog before the
# tooltips are made, over the required work once both have made them.
LIMITS = {"program_ms": 5.0, "yardstick_ms": 7.5, "memory": 1.05, "size_kib": 128}
EXIT_STATUS = {"PASS": 0, "FAIL": 1, "undecided": 2}


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


def memory_ratios(peak):
    """Peak memory medians by program: without tooltips against the bare dialog, with them against
    the required work."""
    return {"bare": peak["program"] / peak["dialog"],
            "tooltips": peak["program tooltips"] / peak["required tooltips"]}


def overall(findings):
    """One verdict from many: any FAIL fails, else any undecided leaves it undecided."""
    return "FAIL" if "FAIL" in findings else "undecided" if "undecided" in findings else "PASS"
