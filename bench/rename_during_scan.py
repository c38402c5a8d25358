#!/usr/bin/env python3
# Renames the biggest top-level folder of TREE (a make_tree tree of 200,000
# files) out of the root for about 1 ms, back, and again every 2 ms while
# scan_bench scans TREE, RUNS times; prints how many runs lost files and how
# many counted errors (folders that could not be reached: subtrees lost).
# Files missing without an error are those the root's listing did not see
# while the folder was away, on one thread as on several.
#   bench/rename_during_scan.py build/bench/scan_bench TREE "THREADS [SPARES]" RUNS
import os, subprocess, sys, threading, time
bench, tree, args, runs = sys.argv[1], sys.argv[2], sys.argv[3].split(), int(sys.argv[4])
tops = [os.path.join(tree, d) for d in os.listdir(tree) if os.path.isdir(os.path.join(tree, d))]
def size(p): return sum(len(f) for _, _, f in os.walk(p))
target = max(tops, key=size)
away = tree + '.away'
results = []
for r in range(runs):
    stop = False
    def flip():
        while not stop:
            os.rename(target, away); time.sleep(0.001); os.rename(away, target); time.sleep(0.002)
    t = threading.Thread(target=flip); t.start()
    out = subprocess.run([bench, tree] + args, capture_output=True, text=True).stdout.split()
    stop = True; t.join()
    kv = dict(x.split('=') for x in out if '=' in x)
    results.append((int(kv['files']), int(kv['errors']), kv['threads'], kv['spares']))
lost = [200000 - f for f, e, _, _ in results]
print("args=%s runs=%d runs_losing=%d most_lost=%d runs_with_errors=%d threads=%s spares=%s" % (
    ' '.join(args), runs, sum(1 for l in lost if l > 0), max(lost), sum(1 for _, e, _, _ in results if e > 0),
    results[0][2], results[0][3]))
