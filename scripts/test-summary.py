#!/usr/bin/env python3
"""test-summary.py TIER JUNIT RESULTS_DIR: prints one line for a tier.

Counts gtest cases from the per-program XML files; a program that failed
without a gtest failure of its own (a crash, a script test) counts as one
failed case, a script test that passed as one passed case."""
import os
import sys
import xml.etree.ElementTree as ET

tier, junit, results = sys.argv[1], sys.argv[2], sys.argv[3]
passed = failed = skipped = 0
failed_names = []
programs = {}
if os.path.exists(junit):
    for case in ET.parse(junit).getroot().iter("testcase"):
        name = case.get("name")
        status = case.get("status", "run")
        bad = case.find("failure") is not None or case.find("error") is not None or status == "fail"
        programs[name] = not bad
for name, ok in sorted(programs.items()):
    xml = os.path.join(results, name + ".xml")
    cases = fails = skips = 0
    if os.path.exists(xml):
        try:
            root = ET.parse(xml).getroot()
            for case in root.iter("testcase"):
                if case.get("result") == "skipped" or case.find("skipped") is not None:
                    skips += 1
                    continue
                cases += 1
                if case.find("failure") is not None:
                    fails += 1
                    failed_names.append(f"{name}: {case.get('classname')}.{case.get('name')}")
        except ET.ParseError:
            cases = fails = 0
    if cases == 0:
        cases, fails = 1, (0 if ok else 1)
        if not ok:
            failed_names.append(name)
    elif not ok and fails == 0:
        cases += 1
        fails += 1
        failed_names.append(f"{name}: exited with failure")
    passed += cases - fails
    failed += fails
    skipped += skips
line = f"{tier:<10} {passed:5d} passed, {failed:4d} failed"
if skipped:
    line += f", {skipped} skipped"
line += f"  ({len(programs)} programs)"
print(line)
for n in failed_names[:20]:
    print(f"    FAILED {n}")
with open(os.environ.get("TAMRIX_TOTALS", "/dev/null"), "a") as f:
    f.write(f"{passed} {failed}\n")
