"""The bench's judging, batching, planted spin and usage error, on made-up figures: no Wine."""
import math, os, random, subprocess, sys, tempfile, unittest

BENCH = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, BENCH)
import verdict  # noqa: E402

STATES = ("true", "false", "missing")


def bootstrap_median_quantile(n, p):
    """The smallest k with the median of n draws (n odd, with replacement) of n distinct values
    at or below the k-th smallest with chance p: when (n + 1) / 2 draws are, each (k + 1) / n."""
    def at_or_below(k):
        q = (k + 1) / n
        return sum(math.comb(n, j) * q ** j * (1 - q) ** (n - j) for j in range((n + 1) // 2, n + 1))
    return next(k for k in range(n) if at_or_below(k) >= p)


class Verdict(unittest.TestCase):
    def test_every_start_once_a_run_and_never_the_same_exe_twice_in_a_row(self):
        starts = [("program", 1), ("program", 2), ("required", 1), ("required", 2), ("dialog", 1)]
        plan = verdict.orders(starts, 50, random.Random(7), after="program")
        self.assertTrue(all(sorted(order) == sorted(starts) for order in plan))
        every = ["program"] + [exe for order in plan for exe, _ in order]
        self.assertFalse([i for i in range(1, len(every)) if every[i] == every[i - 1]])

    def test_the_median_and_its_95_percent_interval_from_resamples_with_replacement(self):
        # Skewed figures (squares: their mean is a third over their median), so many that the
        # interval's ends at 90, 95 and 99 % lie three and more values apart.
        n = 401
        middle, low, high = verdict.median_interval([float(k * k) for k in range(n)])
        self.assertEqual(middle, 200.0 ** 2)
        for end, p in ((low, 0.025), (high, 0.975)):
            expected = bootstrap_median_quantile(n, p)
            self.assertLessEqual(abs(math.sqrt(end) - expected), 1, (end, expected))

    def test_each_row_the_program_over_its_yardstick_against_its_own_limit(self):
        # Per run: the bare dialog 60 ms and up (skewed: median is not mean); the required work 6,
        # 9, 3 ms over it by state; the program 6 over that with "True", 4 under with "False", level
        # when missing. Over 5 fails the program's limit, over 7.5 the yardstick's.
        noise = [0.1 * k * k for k in range(15)]
        cpu = {("dialog", "true"): {run: 60 + e for run, e in enumerate(noise)}}
        for state, required, program in zip(STATES, (6, 9, 3), (6, -4, 0)):
            cpu["required", state] = {run: 60 + required + e for run, e in enumerate(noise)}
            cpu["program", state] = {run: 60 + required + program + e for run, e in enumerate(noise)}
        rows = verdict.judged(cpu, STATES)
        self.assertEqual([rows[state]["findings"] for state in STATES],
                         [("FAIL", "PASS"), ("PASS", "FAIL"), ("PASS", "PASS")])
        self.assertEqual([[round(i[0], 1) for i in rows[state]["intervals"]] for state in STATES],
                         [[6, 6], [-4, 9], [0, 3]])
        self.assertEqual([round(m, 1) for m in rows["true"]["medians"]], [64.9, 70.9, 76.9])
        self.assertEqual(verdict.paired({1: 5, 2: 7, 4: 9}, {2: 1, 3: 8, 4: 2}), [6, 7])  # by run

    def test_at_the_limit_passes_over_it_fails_holding_it_undecided(self):
        self.assertEqual([verdict.judge((0, low, high), 5.0) for low, high in ((-2, 5), (5, 9), (5.01, 9), (3, 9))],
                         ["PASS", "undecided", "FAIL", "undecided"])

    def test_batches_of_the_undecided_limits_within_the_budget_then_the_exit_status_says_how_it_ended(self):
        starts = [(exe, state) for exe in ("required", "program") for state in STATES] + [("dialog", "true")]
        done, program, yardstick = ("PASS", "PASS"), ("undecided", "PASS"), ("PASS", "undecided")

        def batch(findings, budget=105):
            return verdict.next_batch({s: {"findings": f} for s, f in zip(STATES, findings)}, starts, 15, budget)
        self.assertEqual([batch((program, done, done), budget) for budget in (30, 29)],
                         [[("required", "true"), ("program", "true")], []])
        self.assertEqual(batch((yardstick, done, yardstick)),  # another exe's start: none over half
                         [("required", "true"), ("required", "missing"), ("dialog", "true"), ("program", "true")])
        self.assertEqual([batch(f) for f in ((done, done, done), (("FAIL", "PASS"), program, done))], [[], []])
        statuses = [verdict.exit_status(verdict.overall(findings)) for findings in
                    (["PASS", "PASS"], ["PASS", "undecided", "FAIL"], ["undecided", "PASS"])]
        self.assertEqual(statuses + [verdict.exit_status(end) for end in (verdict.COULD_NOT_RUN, "")], [0, 1, 2, 3, 3])
        usage = subprocess.run([sys.executable, os.path.join(BENCH, "run"), "--bogus"], capture_output=True)
        self.assertEqual(usage.returncode, 3, usage.stderr)

    def test_memory_by_program_and_the_footprint_against_its_limits(self):
        peaks = {("dialog", "true"): (20.0, 30.0), ("required", "true"): (21.0, 22.0),
                 ("program", "true"): (22.0, 23.1), ("program", "false"): (22.0, 23.1)}
        ratios = verdict.memory_ratios({exe: [{"bare peak": bare, "peak": peak}] * 3
                                        for exe, (bare, peak) in peaks.items()})
        self.assertEqual((round(ratios["bare"], 3), round(ratios["tooltips"], 3)), (1.1, 1.05))
        fits = {"bare": 1.05, "tooltips": 1.0}
        dlls = ["KERNEL32.dll", "USER32.dll"]
        self.assertEqual([verdict.footprint(fits, 128, dlls), verdict.footprint(ratios, 98, dlls),
                          verdict.footprint(fits, 128.1, dlls), verdict.footprint(fits, 98, dlls + ["ucrtbase.dll"]),
                          verdict.footprint(fits, 98, [])], ["PASS", "FAIL", "FAIL", "FAIL", "FAIL"])

    def test_the_planted_spin_lasts_10_ms(self):
        harness = """#include <chrono>
#include <cstdio>
#include "Spin.h"
int main() {
    using namespace std::chrono;
    const auto start = steady_clock::now();
    planted::SpinOnce();
    std::printf("%lld", static_cast<long long>(duration_cast<microseconds>(steady_clock::now() - start).count()));
}
"""
        with tempfile.TemporaryDirectory() as folder:
            spin = os.path.join(folder, "spin")
            subprocess.run(["g++", "-std=c++20", "-O1", "-I", BENCH, "-x", "c++", "-", "-o", spin], input=harness,
                           text=True, check=True)
            spent_us = int(subprocess.run([spin], capture_output=True, text=True, check=True).stdout)
        self.assertGreaterEqual(spent_us, 10000)


if __name__ == "__main__":
    unittest.main()
