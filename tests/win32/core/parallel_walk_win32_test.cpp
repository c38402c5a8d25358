// Several listing threads give the tree of the walk on one, under Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include "core/same_tree.h"
#include "core/scan_engine.h"
#include "win32/win32_temp_tree.h"

namespace fan {
namespace {

TEST(Win32ParallelWalk, SameTreeAsTheWalkOnOneThread) {
    testing::Win32TempTree temp;
    for (int i = 0; i < 40; ++i) {
        const std::wstring folder = L"f" + std::to_wstring(i);
        temp.folder(folder);
        for (int j = 0; j < i % 7; ++j)
            temp.file(folder + L"\\x" + std::to_wstring(j), uint64_t(i) * 1000 + j);
    }
    temp.file(temp.deepFolder(L"deep") + L"\\far.txt", 3);

    const std::vector<MountEntry> noMounts;
    ScanProgress single;
    const Tree reference = scanTree(temp.root(), single, &noMounts, *makeDirectoryLister());
    ASSERT_EQ(reference.errorText, "");
    for (int threads : {2, 8}) {
        ScanProgress progress;
        const Tree tree = scanTree(temp.root(), progress, &noMounts, ListerFactory(makeDirectoryLister), threads);
        testing::expectSameTree(reference, tree, std::to_string(threads) + " threads");
        testing::expectSameSnapshot(single, progress);
    }
}

}  // namespace
}  // namespace fan
