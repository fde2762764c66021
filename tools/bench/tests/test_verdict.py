"""The bench's arithmetic on made-up figures: no Wine, no timing."""
import os
import random
import re
import sys
import unittest

BENCH = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, BENCH)
import verdict  # noqa: E402


class Verdict(unittest.TestCase):
    def test_every_start_once_a_run_and_never_the_same_exe_twice_in_a_row(self):
        starts = [("program", 1), ("program", 2), ("required", 1), ("required", 2), ("dialog", 1)]
        plan = verdict.orders(starts, 50, random.Random(7))
        self.assertTrue(all(sorted(order) == sorted(starts) for order in plan))
        every = [exe for order in plan for exe, _ in order]
        self.assertFalse([i for i in range(1, len(every)) if every[i] == every[i - 1]])

    def test_the_program_minus_its_yardstick_run_by_run(self):
        self.assertEqual(verdict.paired([70.0, 65.5, 80.0], [60.0, 66.0, 71.0]), [10.0, -0.5, 9.0])

    def test_a_95_percent_interval_of_the_median_from_resamples_with_replacement(self):
        # 0..100: the median's standard error is about 1.25 x 29 / 10 = 3.6, so a 95 % interval
        # spans some 50 +- 7, a 50 % one 50 +- 2.5; resamples without replacement all give 50.
        middle, low, high = verdict.median_interval([float(v) for v in range(101)])
        self.assertEqual(middle, 50.0)
        self.assertTrue(36 <= low <= 42 and 58 <= high <= 64, (low, high))

    def test_a_limit_inside_the_interval_leaves_it_undecided(self):
        self.assertEqual([verdict.judge((0, low, high), 5.0) for low, high in ((-2, 4), (6, 14), (3, 9))],
                         ["PASS", "FAIL", "undecided"])

    def test_the_exit_status_says_the_verdict(self):
        statuses = [verdict.EXIT_STATUS[verdict.overall(findings)] for findings in
                    (["PASS", "PASS"], ["PASS", "undecided", "FAIL"], ["undecided", "PASS"])]
        self.assertEqual(statuses, [0, 1, 2])

    def test_memory_against_the_bare_dialog_then_with_tooltips_against_the_required_work(self):
        ratios = verdict.memory_ratios({"program": 22.0, "dialog": 20.0, "program tooltips": 23.1,
                                        "required tooltips": 22.0})
        self.assertEqual((round(ratios["bare"], 3), round(ratios["tooltips"], 3)), (1.1, 1.05))

    def test_the_planted_spin_lasts_at_least_10_ms(self):
        with open(os.path.join(BENCH, "planted.cpp")) as source:
            unit, count = re.search(r"kPlanted = std::chrono::(\w+)\((\d+)\)", source.read()).groups()
        seconds = {"seconds": 1, "milliseconds": 1e-3, "microseconds": 1e-6, "nanoseconds": 1e-9}[unit]
        self.assertGreaterEqual(int(count) * seconds, 0.010)


if __name__ == "__main__":
    result = unittest.main(exit=False).result
    sys.exit(0 if result.wasSuccessful() and result.testsRun > 0 else 1)  # no case run is a failure
